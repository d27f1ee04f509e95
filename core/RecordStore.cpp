#include "RecordStore.h"

#include <new>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {
constexpr size_t kSlotBytes = sizeof(LoggerRecord) * RecordStore::kScratchSlot;
constexpr std::align_val_t kAlignment{64};
} // namespace

RecordStore::RecordStore()
{
    m_slots = static_cast<LoggerRecord*>(::operator new(kSlotBytes, kAlignment));
#ifdef Q_OS_LINUX
    // Reading a full file touches some 25 MB of records; huge pages spare
    // thousands of page faults. Only a hint: the kernel may ignore it.
    constexpr uintptr_t kHuge = 2u << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(m_slots) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(m_slots) + kSlotBytes) & ~(kHuge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
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
    if (slot < 0 || slot > kLastSlot) {
        Q_ASSERT_X(false, "RecordStore::Records", "slot out of range");
        m_outOfRange = LoggerRecord();
        return m_outOfRange;
    }
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
    IgnoreFileErrs = false;
    KorvalindImport = false;
}

RecordStore& DMAModule()
{
    static RecordStore store;
    return store;
}
