#pragma once
// Makes a write fail part-way in ways root cannot get around: a file size
// limit, a full file system, a read-only folder, the writer killed. The folder
// is a small file system of its own in a mount namespace private to the test,
// so it can be filled or made read-only; where no namespace may be made, a
// full disk is a size limit (the same short write) and a read-only folder one
// without write permission, obeyed by dropping root's capability to ignore it.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStorageInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

#ifdef Q_OS_LINUX
#include <csignal>
#include <linux/capability.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

enum class Fault { SizeLimit, DiskFull, ReadOnly, Killed };

class FaultFolder
{
public:
    FaultFolder()
    {
#ifdef Q_OS_LINUX
        m_mounted = privateMounts() && mount("tmpfs", QFile::encodeName(m_dir.path()).constData(),
                                             "tmpfs", 0, "size=64m,mode=0700") == 0;
#endif
    }
    ~FaultFolder()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
    }
    QString path(const QString& name) const
    {
        return m_dir.filePath(name);
    }
    QString folder() const
    {
        return m_dir.path();
    }
    // Everything in the folder and the folders in it, hidden files included.
    QStringList entries() const
    {
        QStringList all;
        QDirIterator it(m_dir.path(),
                        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            all << QDir(m_dir.path()).relativeFilePath(it.next());
        all.sort();
        return all;
    }

    // Runs write with the fault in force, biting once a file written reaches
    // partway bytes. A killed writer is a child, which must die by SIGKILL in
    // the middle of the write: false when it did not.
    bool run(Fault fault, qint64 partway, const std::function<void()>& write)
    {
#ifdef Q_OS_LINUX
        if (fault == Fault::Killed)
            return killedWhile(partway, write);
        if (fault == Fault::DiskFull && m_mounted) {
            const QStorageInfo fs(m_dir.path());
            const qint64 room = (fs.bytesTotal() - fs.bytesFree() + partway / 4096 * 4096) / 1024;
            remount(QStringLiteral("size=%1k").arg(room), 0);
        } else if (fault == Fault::ReadOnly && m_mounted && tryRemount(QString(), MS_RDONLY)) {
            // (A file held open for writing, such as a window's lock, keeps
            // the file system writable: then the folder's permissions do it.)
        } else if (fault == Fault::ReadOnly) {
            writable(false);
            overridePermissions(false);
        } else {
            limitSize(partway);
        }
        write();
        rlimit none{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &none);
        if (m_mounted)
            remount(QStringLiteral("size=64m"), 0);
        overridePermissions(true);
        writable(true);
        return true;
#else
        Q_UNUSED(fault);
        Q_UNUSED(partway);
        Q_UNUSED(write);
        QTest::qSkip("write faults are made on Linux only", __FILE__, __LINE__);
        return false;
#endif
    }

private:
#ifdef Q_OS_LINUX
    // A mount namespace of this thread's own, whose mounts nobody else sees
    // and which go with the process.
    static bool privateMounts()
    {
        static const bool entered = [] {
            return unshare(CLONE_NEWNS) == 0 &&
                   mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        }();
        return entered;
    }
    bool tryRemount(const QString& options, unsigned long flags)
    {
        return mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr,
                     MS_REMOUNT | flags, options.toLatin1().constData()) == 0;
    }
    void remount(const QString& options, unsigned long flags)
    {
        if (!tryRemount(options, flags))
            QTest::qFail("cannot remount the test's file system", __FILE__, __LINE__);
    }
    static void limitSize(qint64 bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit lower{rlim_t(bytes), RLIM_INFINITY};
        if (setrlimit(RLIMIT_FSIZE, &lower) != 0)
            QTest::qFail("cannot limit the file size", __FILE__, __LINE__);
    }
    // The folder and every folder in it.
    void writable(bool can) const
    {
        QStringList folders{m_dir.path()};
        QDirIterator it(m_dir.path(), QDir::Dirs | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            folders << it.next();
        for (const QString& f : folders)
            QFile::setPermissions(f, QFile::ReadOwner | QFile::ExeOwner |
                                         (can ? QFile::WriteOwner : QFile::Permissions()));
    }
    // Root obeys a folder's permissions only without CAP_DAC_OVERRIDE.
    static void overridePermissions(bool allowed)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (syscall(SYS_capget, &header, data) != 0)
            return;
        const quint32 bits = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        data[0].effective =
            allowed ? data[0].effective | (data[0].permitted & bits) : data[0].effective & ~bits;
        syscall(SYS_capset, &header, data);
    }
    static bool killedWhile(qint64 partway, const std::function<void()>& write)
    {
        const pid_t child = fork();
        if (child == 0) {
            struct sigaction kill
            {
            };
            kill.sa_handler = [](int) { ::kill(getpid(), SIGKILL); };
            sigaction(SIGXFSZ, &kill, nullptr);
            rlimit lower{rlim_t(partway), RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &lower);
            write();
            _exit(0);
        }
        int status = 0;
        const bool killed = child > 0 && waitpid(child, &status, 0) == child &&
                            WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
        if (!killed)
            qWarning("the writer was not killed part-way: status %d", status);
        return killed;
    }
#endif
    QTemporaryDir m_dir;
    bool m_mounted = false;
};
