#include "DocumentLock.h"

#include "LangText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <pwd.h>
#include <unistd.h>
#endif

namespace {

// The name QLockFile writes as the host of its locks.
QString thisMachineName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("COMPUTERNAME");
#else
    return QSysInfo::machineHostName();
#endif
}

void markHidden(const QString& path)
{
#ifdef Q_OS_WIN
    // A leading dot hides a file only elsewhere.
    const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(native.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
#else
    Q_UNUSED(path);
#endif
}

} // namespace

bool MayBeAbandoned(const LockHolder& holder, const QDateTime& now)
{
    if (!holder.readable)
        return true;
    return holder.otherHost && holder.since.isValid() &&
           holder.since.secsTo(now) >= qint64(kLockMayBeAbandonedAfterHours) * 3600;
}

QString DescribeHolder(const LockHolder& holder)
{
    QString text = LangText(871) + (holder.user.isEmpty() ? LangText(890) : holder.user); // by
    if (!holder.host.isEmpty())
        text += LangText(872) + holder.host; // on
    if (holder.since.isValid())
        text += LangText(873) + // since
                holder.since.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    return text;
}

QString CurrentUserName()
{
#ifdef Q_OS_WIN
    return qEnvironmentVariable("USERNAME");
#else
    for (const char* variable : {"USER", "LOGNAME"})
        if (const QString name = qEnvironmentVariable(variable); !name.isEmpty())
            return name;
    if (const passwd* entry = getpwuid(geteuid()))
        return QString::fromLocal8Bit(entry->pw_name);
    return QString();
#endif
}

DocumentLock::DocumentLock(const QString& documentPath)
    : m_documentPath(documentPath), m_userFile(lockPathFor(documentPath) + QStringLiteral(".user")),
      m_lock(std::make_unique<QLockFile>(lockPathFor(documentPath)))
{
    // A document stays open for hours: only a lock whose process is gone is stale.
    m_lock->setStaleLockTime(0);
}

DocumentLock::~DocumentLock()
{
    if (!m_lock->isLocked())
        return;
    if (!heldByThisProcess()) {
        // Taken over by another copy that judged it abandoned: releasing
        // would delete that copy's lock, so this one is let go unreleased.
        (void)m_lock.release();
        return;
    }
    QFile::remove(m_userFile);
    m_lock->unlock();
}

QString DocumentLock::lockPathFor(const QString& documentPath)
{
    const QFileInfo file(documentPath);
    // One lock for one file, however its path is written.
    const QString canonical = file.canonicalFilePath();
    const QFileInfo named(canonical.isEmpty() ? file.absoluteFilePath() : canonical);
    return named.absoluteDir().filePath(QLatin1Char('.') + named.fileName() +
                                        QStringLiteral(".lock"));
}

DocumentLock::State DocumentLock::tryLock()
{
    if (m_lock->isLocked())
        return Held;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (m_lock->tryLock(0)) {
            QFile::remove(m_userFile);
            QFile user(m_userFile);
            if (user.open(QIODevice::WriteOnly)) {
                user.write(CurrentUserName().toUtf8() + '\n');
                user.close();
                markHidden(m_userFile);
            }
            markHidden(m_lock->fileName());
            return Held;
        }
        if (m_lock->error() != QLockFile::LockFailedError)
            return NotPossible;
        // Windows reports a folder it may not write in as a lock held by
        // someone; a lock that is really there has its file.
        if (QFileInfo::exists(m_lock->fileName()))
            return HeldElsewhere;
    }
    return NotPossible;
}

LockHolder DocumentLock::holder() const
{
    LockHolder h;
    QString application;
    h.readable = m_lock->getLockInfo(&h.pid, &h.host, &application);
    h.otherHost = h.readable && !h.host.isEmpty() && h.host != thisMachineName();
    h.since = QFileInfo(m_lock->fileName()).lastModified();
    QFile user(m_userFile);
    if (user.open(QIODevice::ReadOnly))
        h.user = QString::fromUtf8(user.readLine(256)).trimmed();
    return h;
}

bool DocumentLock::takeOver()
{
    if (m_lock->isLocked())
        return true;
    return m_lock->removeStaleLockFile() && tryLock() == Held;
}

bool DocumentLock::isHeld() const
{
    return m_lock->isLocked();
}

bool DocumentLock::heldByThisProcess() const
{
    qint64 pid = 0;
    QString host, application;
    return m_lock->getLockInfo(&pid, &host, &application) &&
           pid == QCoreApplication::applicationPid() && host == thisMachineName();
}
