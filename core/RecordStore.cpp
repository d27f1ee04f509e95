#include "RecordStore.h"

#include <new>
#include <stdexcept>
#include <string>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {
constexpr size_t kSlotBytes = sizeof(LoggerRecord) * RecordStore::kScratchSlot;
#ifdef Q_OS_LINUX
// Reading a full file touches some 25 MB of records; in huge pages that is a
// dozen page faults instead of six thousand. The block is aligned to and
// padded out to whole huge pages so that none of it falls outside them.
constexpr size_t kHugePage = 2u << 20;
constexpr size_t kBlockBytes = (kSlotBytes + kHugePage - 1) / kHugePage * kHugePage;
constexpr std::align_val_t kAlignment{kHugePage};
#else
constexpr size_t kBlockBytes = kSlotBytes;
constexpr std::align_val_t kAlignment{64};
#endif
} // namespace

RecordStore::RecordStore()
{
    m_slots = static_cast<LoggerRecord*>(::operator new(kBlockBytes, kAlignment));
#ifdef Q_OS_LINUX
    madvise(m_slots, kBlockBytes, MADV_HUGEPAGE); // only a hint
#endif
}

RecordStore::~RecordStore()
{
    for (int i = 0; i < m_constructed; ++i)
        m_slots[i].~LoggerRecord();
    ::operator delete(m_slots, kAlignment);
}

LoggerRecord& RecordStore::Records(int slot)
{
    if (slot == kScratchSlot)
        return m_scratch;
    if (!IsValidSlot(slot))
        throw std::out_of_range("record store slot " + std::to_string(slot));
    while (m_constructed <= slot)
        new (&m_slots[m_constructed++]) LoggerRecord();
    return m_slots[slot];
}

const LoggerRecord& RecordStore::Records(int slot) const
{
    return const_cast<RecordStore*>(this)->Records(slot);
}

void RecordStore::clear()
{
    for (int i = 0; i < m_constructed; ++i)
        m_slots[i] = LoggerRecord();
    m_scratch = LoggerRecord();
    StoreCount = 0;
    LinesRead = 0;
}

RecordStore& DMAModule()
{
    static RecordStore store;
    return store;
}
