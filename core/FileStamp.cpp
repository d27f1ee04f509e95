#include "FileStamp.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <cstring>

FileStamp StatFile(const QString& path)
{
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    return stamp;
}

DiskChange CompareWithDisk(FileStamp& recorded, const QString& path)
{
    const FileStamp now = StatFile(path);
    if (!now.isValid())
        return DiskChange::Gone;
    if (now.sameTimes(recorded))
        return DiskChange::Unchanged;
    if (!recorded.hashed || now.size != recorded.size)
        return DiskChange::Changed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return DiskChange::Changed;
    HashingDevice reading(file);
    char buffer[64 * 1024];
    qint64 got;
    while ((got = reading.read(buffer, sizeof buffer)) > 0) {
    }
    if (got < 0 || reading.hash() != recorded.hash)
        return DiskChange::Changed;
    recorded.modified = now.modified;
    return DiskChange::Unchanged;
}

ContentHash::ContentHash() : m_block(new char[kBlock]) {}

ContentHash::~ContentHash() = default;

void ContentHash::add(const char* data, qint64 size)
{
    m_total += size;
    // Whole blocks at the same offsets whatever the pieces: a piece that
    // ends inside a block waits for the next one.
    if (m_filled > 0) {
        const qint64 take = std::min(size, kBlock - m_filled);
        std::memcpy(m_block.get() + m_filled, data, static_cast<size_t>(take));
        m_filled += take;
        data += take;
        size -= take;
        if (m_filled < kBlock)
            return;
        m_state = qHashBits(m_block.get(), kBlock, m_state);
        m_filled = 0;
    }
    for (; size >= kBlock; data += kBlock, size -= kBlock)
        m_state = qHashBits(data, kBlock, m_state);
    if (size > 0) {
        std::memcpy(m_block.get(), data, static_cast<size_t>(size));
        m_filled = size;
    }
}

quint64 ContentHash::result() const
{
    const size_t last = qHashBits(m_block.get(), static_cast<size_t>(m_filled), m_state);
    return static_cast<quint64>(qHashMulti(0, last, m_total));
}

HashingDevice::HashingDevice(QIODevice& inner) : m_inner(inner)
{
    open(inner.openMode() | QIODevice::Unbuffered);
}

qint64 HashingDevice::readData(char* data, qint64 maxSize)
{
    const qint64 got = m_inner.read(data, maxSize);
    if (got > 0)
        m_hash.add(data, got);
    return got;
}

qint64 HashingDevice::writeData(const char* data, qint64 maxSize)
{
    const qint64 put = m_inner.write(data, maxSize);
    if (put > 0)
        m_hash.add(data, put);
    return put;
}
