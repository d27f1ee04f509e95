#include "Utilities.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.isFile() && !info.isHidden();
}

QString AfterLast(const QString& text, const QString& separator)
{
    if (text.isEmpty() || separator.isEmpty())
        return text;
    const qsizetype at = text.lastIndexOf(separator);
    if (at < 0)
        return text;
    return text.mid(at + separator.size());
}

QString FileTitle(const QString& path)
{
    if (path.isEmpty())
        return QString();
    QString t = AfterLast(path, QStringLiteral(":"));
    t = AfterLast(t, QStringLiteral("\\"));
    return AfterLast(t, QStringLiteral("/"));
}

namespace {
StatusSink& statusSink()
{
    static StatusSink sink;
    return sink;
}
MessageSink& messageSink()
{
    static MessageSink sink;
    return sink;
}
QString& programFolderOverride()
{
    static QString folder;
    return folder;
}
} // namespace

void SetStatusSink(StatusSink sink)
{
    statusSink() = std::move(sink);
}

bool HasStatusSink()
{
    return static_cast<bool>(statusSink());
}

void SetStatusText(const QString& text)
{
    if (statusSink())
        statusSink()(text);
}

bool WriteFileAtomically(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile::commit does not notice when the last buffered bytes fail to
    // reach the file (a full disk): it would put a cut-off file in place.
    if (!write(file) || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void SetMessageSink(MessageSink sink)
{
    messageSink() = std::move(sink);
}

void ShowPlainMessage(const QString& text)
{
    if (messageSink())
        messageSink()(text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

QString ProgramFolder()
{
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QString();
}

void SetProgramFolderForTesting(const QString& folder)
{
    programFolderOverride() = folder;
}

namespace {
int& replacesBeforeFault()
{
    static int n = -1;
    return n;
}
} // namespace

void FailReplaceFileForTesting(int nth)
{
    replacesBeforeFault() = nth;
}

bool ReplaceFile(const QString& finished, const QString& target)
{
    if (replacesBeforeFault() >= 0 && replacesBeforeFault()-- == 0)
        return false;
#ifdef Q_OS_WIN
    if (QFileInfo::exists(target) && !QFile::remove(target))
        return false;
    return QFile::rename(finished, target);
#else
    return std::rename(QFile::encodeName(finished).constData(),
                       QFile::encodeName(target).constData()) == 0;
#endif
}
