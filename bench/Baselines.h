#pragma once
// The least work that reading a file must do, timed beside the program's own
// reading of the same file in the same run.

#include <QFile>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace Baselines {

inline volatile size_t sink; // keeps the baselines' work from being optimised away

// Splits the file into lines and fields with memchr, reading it the way the
// reader does, and nothing more.
inline void splitBaseline(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        std::abort();
    constexpr qint64 kChunk = 256 * 1024;
    std::unique_ptr<char[]> buf(new char[kChunk]);
    size_t lines = 0, fields = 0;
    for (qint64 got; (got = f.read(buf.get(), kChunk)) > 0;)
        for (const char *p = buf.get(), *end = p + got;;) {
            const char* cr = static_cast<const char*>(std::memchr(p, '\r', size_t(end - p)));
            const char* stop = cr ? cr : end; // a line goes on into the next piece
            for (const char* q = p;
                 (q = static_cast<const char*>(std::memchr(q, ',', size_t(stop - q)))); ++q)
                ++fields;
            if (!cr)
                break;
            ++lines;
            p = cr + 1;
        }
    sink = lines + fields;
}

// Reads the file and counts its line ends and commas, looking once at each
// byte (what a reader that must look at every byte, as of rich text, does).
inline void rawRead(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        std::abort();
    constexpr qint64 kChunk = 256 * 1024;
    std::unique_ptr<char[]> buf(new char[kChunk]);
    size_t separators = 0;
    for (qint64 got; (got = f.read(buf.get(), kChunk)) > 0;)
        for (qint64 i = 0; i < got; ++i)
            separators += size_t(buf[i] == '\r') + size_t(buf[i] == ',');
    sink = separators;
}

} // namespace Baselines
