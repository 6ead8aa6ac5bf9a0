#pragma once

#include <QString>

namespace sarn {

// A lock named like a system mutex ("sarnmutex"), held from a successful TryAcquire until the
// process ends, however it ends: the system drops it with the process, so a copy that was
// killed never blocks the next start. It lives in the desktop session's runtime directory, so
// each session has its own.
class SingleInstanceLock {
  public:
    enum class Result { Acquired, HeldElsewhere, Failed };

    // directory empty = the session's runtime directory (a per-user temporary one without it).
    explicit SingleInstanceLock(QString name, QString directory = QString());
    ~SingleInstanceLock();  // keeps the lock: only the end of the process releases it

    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // Never waits. Failed: the lock file cannot be opened or locked for another reason.
    Result TryAcquire();

    const QString& Path() const { return path_; }

  private:
    QString path_;
    int fd_ = -1;
};

}  // namespace sarn
