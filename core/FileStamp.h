#pragma once
// What a file was when the program last read or wrote it, so that it can
// tell later whether someone else (another program, another person on a
// shared folder) has written it since.

#include <QIODevice>
#include <QString>

struct FileStamp
{
    qint64 size = -1;    // -1: nothing recorded
    qint64 modified = 0; // milliseconds since 1970, UTC
    quint64 hash = 0;    // of the bytes read or written
    bool hashed = false;

    bool isValid() const { return size >= 0; }
    // Same size and modification time: taken for the same content.
    bool sameTimes(const FileStamp& other) const
    {
        return size == other.size && modified == other.modified;
    }
};

// The file's size and modification time now, without its hash; invalid
// when there is no such file.
FileStamp StatFile(const QString& path);

enum class DiskChange {
    Unchanged, // the same bytes (a file only touched counts as unchanged)
    Changed,
    Gone, // no file there any more
};

// Compares the file on disk with what was recorded. Size and time decide
// when they match; otherwise the file is read once to compare its bytes,
// and when those are the same the recorded time follows the file's, so the
// next check is a cheap one again.
DiskChange CompareWithDisk(FileStamp& recorded, const QString& path);

// A hash of a run of bytes that does not depend on how the run was cut into
// pieces: the reader and the writer hand over their bytes in different sizes.
// Not a cryptographic one: it tells apart files that changed by accident, at
// the speed of reading memory.
class ContentHash
{
public:
    void add(const char* data, qint64 size);
    quint64 result() const;

private:
    static constexpr int kStripe = 32; // four lanes of eight bytes
    void stripe(const char* p);

    quint64 m_lanes[4] = {0x60ea27eeadc0b5d6ULL, 0xc2b2ae3d27d4eb4fULL, 0, 0x61c8864e7a143579ULL};
    char m_pending[kStripe] = {};
    qint64 m_pendingSize = 0;
    qint64 m_total = 0;
};

// Passes every byte read from or written to another device through a
// ContentHash on the way, so that a file is hashed without a second pass.
class HashingDevice : public QIODevice
{
public:
    // Opens itself in the inner device's mode (which must be open).
    explicit HashingDevice(QIODevice& inner);
    quint64 hash() const { return m_hash.result(); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char* data, qint64 maxSize) override;

private:
    QIODevice& m_inner;
    ContentHash m_hash;
};
