#pragma once
// What every fuzz target shares: a failed invariant aborts (libFuzzer keeps
// the input), and the program's own set-up done once.

#include "DatabaseReader.h"
#include "DatabaseWriter.h"
#include "LangText.h"
#include "Utilities.h"

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <cstdint>
#include <cstdlib>

namespace Fuzz {

inline void require(bool ok)
{
    if (!ok)
        std::abort();
}

inline QByteArray bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The application object Qt's event loop, settings and files want.
inline void startApplication(int* argc, char*** argv)
{
    static QCoreApplication app(*argc, *argv);
}

// Language lookups read the file each time and would dominate every run;
// without a language file they fail fast and quietly.
inline void withoutLanguageFile()
{
    SetProgramFolderForTesting(QStringLiteral("/nonexistent-quorvane-folder"));
    SetLangFailureHandler([](const QString&) {});
}

// The store saved as a database file, which must succeed, and read back
// into again; the reader's result.
inline int savedAndReadBack(RecordStore& store, RecordStore& again, const ReadOptions& options)
{
    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    require(WriteDatabase(store, out));
    QBuffer back(&written);
    back.open(QIODevice::ReadOnly);
    return ReadDatabase(again, back, options);
}

// Takes the input apart field by field: bytes, then the rest.
class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool atEnd() const { return m_at >= m_size; }
    size_t left() const { return m_size - m_at; }
    uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    // Up to n bytes.
    QByteArray take(size_t n)
    {
        n = n < left() ? n : left();
        const QByteArray out(reinterpret_cast<const char*>(m_data + m_at),
                             static_cast<qsizetype>(n));
        m_at += n;
        return out;
    }
    // The bytes before the next separator (which is passed over), or the rest.
    QByteArray field(char separator)
    {
        size_t end = m_at;
        while (end < m_size && m_data[end] != static_cast<uint8_t>(separator))
            ++end;
        QByteArray out = take(end - m_at);
        if (!atEnd())
            ++m_at;
        return out;
    }
    QByteArray rest() { return take(left()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

} // namespace Fuzz
