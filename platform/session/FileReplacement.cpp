#include "platform/session/FileReplacement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace sarn {

namespace {

QString SystemMessage(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void Fail(const QString& what, const QString& path, int error) {
    throw ReplacementError(what + u' ' + path + QStringLiteral(": ") + SystemMessage(error));
}

bool Exists(const QByteArray& path) {
    struct stat info {};
    return ::lstat(path.constData(), &info) == 0;
}

// Owns the temporary file until it has been renamed into place.
class Temporary {
  public:
    explicit Temporary(const QString& target) {
        const QFileInfo info(target);
        QByteArray pattern = QFile::encodeName(info.absolutePath() + QStringLiteral("/.") +
                                               info.fileName() + QStringLiteral(".new-XXXXXX"));
        fd_ = ::mkstemp(pattern.data());
        if (fd_ < 0) {
            Fail(QStringLiteral("Unable to create a file beside"), target, errno);
        }
        path_ = pattern;
    }
    ~Temporary() {
        CloseQuietly();
        if (!path_.isEmpty()) {
            ::unlink(path_.constData());
        }
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int Fd() const { return fd_; }
    const QByteArray& Path() const { return path_; }
    QString Name() const { return QFile::decodeName(path_); }

    void Close() {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            Fail(QStringLiteral("Unable to write"), Name(), errno);
        }
    }
    void Release() { path_.clear(); }  // it has become the target

  private:
    void CloseQuietly() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    int fd_ = -1;
    QByteArray path_;
};

void SyncDirectory(const QString& target) {
    const QByteArray dir = QFile::encodeName(QFileInfo(target).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // The new name is already in place; a directory that cannot be flushed changes nothing
        // for this run.
        (void)::fsync(fd);
        ::close(fd);
    }
}

// Temporary files of replacements that a crash or a kill interrupted. Only one copy of the
// program runs, so none of them is in use.
void RemoveAbandonedTemporaries(const QString& target) {
    const QFileInfo info(target);
    QDir dir = info.absoluteDir();
    const QStringList abandoned =
        dir.entryList({QStringLiteral(".") + info.fileName() + QStringLiteral(".new-??????")},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : abandoned) {
        dir.remove(name);
    }
}

}  // namespace

void ReplaceFile(const QString& target, const QString& leftover,
                 const std::function<void(QIODevice&)>& write,
                 const std::function<void(ReplacementStep)>& onStep) {
    const auto step = [&onStep](ReplacementStep done) {
        if (onStep) {
            onStep(done);
        }
    };
    const QByteArray targetName = QFile::encodeName(target);
    const QByteArray leftoverName = QFile::encodeName(leftover);

    RemoveAbandonedTemporaries(target);
    Temporary temporary(target);
    step(ReplacementStep::TemporaryCreated);
    {
        QFile file;
        if (!file.open(temporary.Fd(), QIODevice::WriteOnly, QFileDevice::DontCloseHandle)) {
            throw ReplacementError(file.errorString());
        }
        write(file);
        if (!file.flush() || file.error() != QFileDevice::NoError) {
            throw ReplacementError(QStringLiteral("Unable to write ") + temporary.Name() +
                                   QStringLiteral(": ") + file.errorString());
        }
    }
    step(ReplacementStep::ContentWritten);
    if (::fsync(temporary.Fd()) != 0) {
        Fail(QStringLiteral("Unable to write"), temporary.Name(), errno);
    }
    step(ReplacementStep::ContentSynced);

    struct stat previous {};
    const bool hadTarget = ::stat(targetName.constData(), &previous) == 0;
    const mode_t mode = hadTarget ? (previous.st_mode & 07777) : mode_t{0755};
    if (::fchmod(temporary.Fd(), mode) != 0) {
        Fail(QStringLiteral("Unable to set the permissions of"), temporary.Name(), errno);
    }
    temporary.Close();
    step(ReplacementStep::ModeCopied);

    // A second name for the previous file keeps the target path occupied throughout. Where the
    // file system has no hard links the previous file is renamed away instead, for a moment.
    bool linked = false;
    bool renamedAway = false;
    if (hadTarget && !Exists(leftoverName)) {
        if (::link(targetName.constData(), leftoverName.constData()) == 0) {
            linked = true;
            step(ReplacementStep::LeftoverLinked);
        } else if (errno != EACCES && errno != EROFS &&
                   ::rename(targetName.constData(), leftoverName.constData()) == 0) {
            renamedAway = true;
            step(ReplacementStep::TargetRenamedAway);
        }
    }

    if (::rename(temporary.Path().constData(), targetName.constData()) != 0) {
        const int error = errno;
        if (linked) {
            ::unlink(leftoverName.constData());
        } else if (renamedAway) {
            ::rename(leftoverName.constData(), targetName.constData());
        }
        Fail(QStringLiteral("Unable to replace"), target, error);
    }
    temporary.Release();
    step(ReplacementStep::NewInPlace);
    SyncDirectory(target);
    step(ReplacementStep::DirectorySynced);
}

}  // namespace sarn
