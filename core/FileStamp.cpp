#include "FileStamp.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
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

namespace {

constexpr quint64 kPrime1 = 0x9e3779b185ebca87ULL;
constexpr quint64 kPrime2 = 0xc2b2ae3d27d4eb4fULL;
constexpr quint64 kPrime3 = 0x165667b19e3779f9ULL;

quint64 rotl(quint64 x, int r)
{
    return (x << r) | (x >> (64 - r));
}

quint64 word(const char* p)
{
    quint64 w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

} // namespace

void ContentHash::stripe(const char* p)
{
    for (int lane = 0; lane < 4; ++lane)
        m_lanes[lane] = rotl(m_lanes[lane] + word(p + 8 * lane) * kPrime2, 31) * kPrime1;
}

void ContentHash::add(const char* data, qint64 size)
{
    m_total += size;
    // Whole stripes at the same offsets whatever the pieces: a piece that
    // ends inside a stripe waits for the next one.
    if (m_pendingSize > 0) {
        const qint64 take = std::min(size, kStripe - m_pendingSize);
        std::memcpy(m_pending + m_pendingSize, data, static_cast<size_t>(take));
        m_pendingSize += take;
        data += take;
        size -= take;
        if (m_pendingSize < kStripe)
            return;
        stripe(m_pending);
        m_pendingSize = 0;
    }
    for (; size >= kStripe; data += kStripe, size -= kStripe)
        stripe(data);
    std::memcpy(m_pending, data, static_cast<size_t>(size));
    m_pendingSize = size;
}

quint64 ContentHash::result() const
{
    quint64 h = rotl(m_lanes[0], 1) + rotl(m_lanes[1], 7) + rotl(m_lanes[2], 12) +
                rotl(m_lanes[3], 18) + static_cast<quint64>(m_total);
    for (qint64 i = 0; i < m_pendingSize; ++i)
        h = rotl(h ^ (static_cast<unsigned char>(m_pending[i]) * kPrime3), 11) * kPrime1;
    h ^= h >> 33;
    h *= kPrime2;
    h ^= h >> 29;
    h *= kPrime3;
    return h ^ (h >> 32);
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
