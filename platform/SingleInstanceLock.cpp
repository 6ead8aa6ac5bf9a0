#include "platform/SingleInstanceLock.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace sarn {

namespace {

QString SessionDirectory() {
    QString directory = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (directory.isEmpty()) {
        directory = QDir::tempPath() + QStringLiteral("/sarn-") + QString::number(::getuid());
        QDir().mkpath(directory);
        QFile::setPermissions(
            directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return directory;
}

}  // namespace

SingleInstanceLock::SingleInstanceLock(QString name, QString directory)
    : path_((directory.isEmpty() ? SessionDirectory() : directory) + u'/' + name + u".lock") {}

// The descriptor stays open on purpose: closing it would release the lock early.
SingleInstanceLock::~SingleInstanceLock() = default;

SingleInstanceLock::Result SingleInstanceLock::TryAcquire() {
    if (fd_ >= 0) {
        return Result::Acquired;
    }
    const QByteArray native = QFile::encodeName(path_);
    // Close-on-exec: a program we start must not inherit the lock and hold it after we end.
    const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return Result::Failed;
    }
    int locked = -1;
    do {
        locked = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Result::HeldElsewhere : Result::Failed;
    }
    fd_ = fd;
    return Result::Acquired;
}

}  // namespace sarn
