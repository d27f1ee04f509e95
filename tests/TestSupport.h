#pragma once
// Small helpers shared by the tests.

#include <QByteArray>
#include <QFile>
#include <QString>

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString testData(const char* name)
{
    return QStringLiteral(QUORVANE_TEST_DATA "/") + QLatin1String(name);
}

#include <QDateTime>

// Moves a file's modification time by that many seconds, as a later (or
// earlier) write would, however finely the file system keeps times.
inline bool shiftModificationTime(const QString& path, int seconds)
{
    QFile f(path);
    return f.open(QIODevice::ReadWrite) &&
           f.setFileTime(f.fileTime(QFileDevice::FileModificationTime).addSecs(seconds),
                         QFileDevice::FileModificationTime);
}
