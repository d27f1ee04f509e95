#pragma once
// Tells other copies of the program, on this computer or through a shared
// folder, that a database file is open here: a QLockFile beside it under a
// hidden name (".north.csv.lock"), with the user's name in a small file
// beside that (".north.csv.lock.user"). Both go when the lock is released.

#include <QDateTime>
#include <QString>
#include <memory>

class QLockFile;

// Who holds a lock, as far as its files tell.
struct LockHolder
{
    QString user; // empty when unknown
    QString host;
    qint64 pid = 0;
    QDateTime since;        // when the lock was made
    bool otherHost = false; // made on another computer, whose programs cannot be seen from here
    bool readable = false;  // the lock file said who made it
};

// A lock made on another computer this long ago (or one whose maker cannot
// be read) may have been left by a copy of the program that stopped without
// closing the file: the user is offered to take it over.
inline constexpr int kLockMayBeAbandonedAfterHours = 12;
bool MayBeAbandoned(const LockHolder& holder, const QDateTime& now);

// "by jsmith on PC-17 since 2024/05/03 09:12:44"
QString DescribeHolder(const LockHolder& holder);

// The name of the user running the program.
QString CurrentUserName();

class DocumentLock
{
public:
    enum State {
        Held,          // this program holds it now
        HeldElsewhere, // another running program holds it
        NotPossible,   // no lock can be made there (a read-only folder): go on without
    };

    explicit DocumentLock(const QString& documentPath);
    ~DocumentLock();
    DocumentLock(const DocumentLock&) = delete;
    DocumentLock& operator=(const DocumentLock&) = delete;

    // Takes the lock. One left behind on this computer by a program that is
    // no longer running is taken over without asking.
    State tryLock();
    // Who holds it, after HeldElsewhere.
    LockHolder holder() const;
    // Removes a lock the user judged abandoned and takes it; false when its
    // holder still has it (a running holder's lock cannot be removed).
    bool takeOver();
    bool isHeld() const;
    // Whether this very process made the lock (another window of it).
    bool heldByThisProcess() const;
    QString documentPath() const { return m_documentPath; }

    static QString lockPathFor(const QString& documentPath);

private:
    QString m_documentPath;
    QString m_userFile;
    std::unique_ptr<QLockFile> m_lock;
};
