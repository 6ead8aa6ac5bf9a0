#include "platform/PrivateProfile.h"

#include "platform/CodePage.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <cerrno>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sarn {

namespace {

// One line of the file: its bytes without the line end, and the line end as found ("\r\n",
// "\n" or nothing for a last line without one), so untouched lines are written back as read.
struct Line {
    QByteArray bytes;
    QByteArray end;
};

QList<Line> SplitLines(const QByteArray& content) {
    QList<Line> lines;
    qsizetype at = 0;
    while (at < content.size()) {
        const qsizetype newline = content.indexOf('\n', at);  // never a GBK trail byte
        const qsizetype stop = newline < 0 ? content.size() : newline;
        Line line;
        line.bytes = content.mid(at, stop - at);
        if (newline >= 0) {
            line.end = "\n";
            if (line.bytes.endsWith('\r')) {
                line.bytes.chop(1);
                line.end = "\r\n";
            }
        }
        lines.append(line);
        at = stop + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<QString> SectionName(const QString& text) {
    const QString line = text.trimmed();
    if (!line.startsWith(u'[')) {
        return std::nullopt;
    }
    const qsizetype close = line.indexOf(u']');
    return (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
}

struct KeyLine {
    QString key;
    QString value;
};

std::optional<KeyLine> SplitKeyLine(const QString& text) {
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0) {
        return std::nullopt;
    }
    return KeyLine{text.left(equals).trimmed(), text.mid(equals + 1).trimmed()};
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Where a section and a key lie among the lines. -1 where not found.
struct Position {
    qsizetype section = -1;   // the "[section]" line
    qsizetype lastLine = -1;  // the section's last non-blank line
    qsizetype key = -1;       // the key's line
    QByteArray keyBytes;      // the line up to its "=", as the file spells the key
    QString value;
};

Position Find(const QList<Line>& lines, const QString& section, const QString& key) {
    Position found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString text = FromAnsi(lines[i].bytes);
        if (const std::optional<QString> name = SectionName(text)) {
            if (found.section >= 0) {
                break;  // the first section of that name is the one read and written
            }
            if (SameName(*name, section)) {
                found.section = i;
                found.lastLine = i;
            }
            continue;
        }
        if (found.section < 0) {
            continue;
        }
        if (!text.trimmed().isEmpty()) {
            found.lastLine = i;
        }
        if (found.key < 0) {
            if (const std::optional<KeyLine> entry = SplitKeyLine(text);
                entry && SameName(entry->key, key)) {
                found.key = i;
                // "=" is never a GBK trail byte, so the first one in the bytes is the same.
                found.keyBytes = lines[i].bytes.left(lines[i].bytes.indexOf('='));
                found.value = entry->value;
            }
        }
    }
    return found;
}

std::optional<QByteArray> ReadAll(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    QByteArray content;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        content.append(buffer, got);
    }
    ::close(fd);
    return content;
}

bool WriteAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, bytes.size() - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += put;
    }
    return true;
}

// Replaces the file at target with content: a new file beside it, on the disk before it takes
// the old one's name, so a reader or a crash sees the old file or the new one, never a part.
bool ReplaceFile(const QString& target, const QByteArray& content, std::optional<mode_t> mode) {
    const QFileInfo info(target);
    const QByteArray directory = QFile::encodeName(info.absolutePath());
    const QByteArray finalName = QFile::encodeName(info.absoluteFilePath());
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary =
            finalName + ".tmp" + QByteArray::number(::getpid()) + '.' + QByteArray::number(attempt);
        // 0666 lets the process's umask decide for a new file, as a direct create would.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }
    const bool written =
        WriteAll(fd, content) && (!mode || ::fchmod(fd, *mode) == 0) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.constData(), finalName.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    // The new name must reach the disk as well; a failure here leaves a complete file in place.
    const int directoryFd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryFd >= 0) {
        ::fsync(directoryFd);
        ::close(directoryFd);
    }
    return true;
}

// A line end that matches the file's own, so an edited file keeps one style.
QByteArray LineEndOf(const QList<Line>& lines) {
    for (const Line& line : lines) {
        if (!line.end.isEmpty()) {
            return line.end;
        }
    }
    return "\r\n";
}

// A value must stay on its one line: a line break in it would start lines of its own.
QString OneLine(const QString& value) {
    QString line = value;
    line.replace(u'\r', u' ');
    line.replace(u'\n', u' ');
    return line;
}

}  // namespace

ProfileWriteError::ProfileWriteError(const QString& path)
    : SarnError(QStringLiteral("Unable to write to %1").arg(path)) {}

PrivateProfile::PrivateProfile(QString path) : path_(std::move(path)) {}

QString PrivateProfile::ReadString(const QString& section, const QString& key,
                                   const QString& defaultValue) const {
    const std::optional<QByteArray> content = ReadAll(path_);
    if (!content) {
        return defaultValue;
    }
    const Position found = Find(SplitLines(*content), section, key);
    if (found.key < 0) {
        return defaultValue;
    }
    return found.value.left(kMaxValueLength);
}

int PrivateProfile::ReadInteger(const QString& section, const QString& key,
                                int defaultValue) const {
    const QString text = ReadString(section, key, QString());
    bool ok = false;
    int value = 0;
    if (text.size() > 2 &&
        (text.startsWith(QStringLiteral("0x")) || text.startsWith(QStringLiteral("0X")))) {
        // Up to eight digits, read as the 32 bits they spell: 0xFFFFFFFF is -1.
        const QStringView digits = QStringView(text).mid(2);
        const uint bits = digits.size() <= 8 && !digits.startsWith(u'+') && !digits.startsWith(u'-')
                              ? digits.toUInt(&ok, 16)
                              : 0;
        value = static_cast<int>(bits);
    } else {
        value = text.toInt(&ok, 10);
    }
    return ok ? value : defaultValue;
}

void PrivateProfile::WriteString(const QString& section, const QString& key, const QString& value) {
    const QString shownPath = QFileInfo(path_).absoluteFilePath();
    // Write where the name leads, so a linked info.ini stays linked.
    QString target = shownPath;
    const QFileInfo link(shownPath);
    if (link.isSymLink() && !link.canonicalFilePath().isEmpty()) {
        target = link.canonicalFilePath();
    }
    const QByteArray native = QFile::encodeName(target);

    std::optional<mode_t> mode;
    QByteArray content;
    struct stat status {};
    if (::stat(native.constData(), &status) == 0) {
        // A read-only file refuses the write, also for a user (root) whom the system would let
        // write anyway: its read-only mark is what counts, as it would be for the attribute.
        // Renaming over it would replace it silently.
        if (!S_ISREG(status.st_mode) || (status.st_mode & S_IWUSR) == 0 ||
            ::access(native.constData(), W_OK) != 0) {
            throw ProfileWriteError(shownPath);
        }
        const std::optional<QByteArray> existing = ReadAll(target);
        if (!existing) {
            throw ProfileWriteError(shownPath);  // rewriting it would lose what we cannot read
        }
        content = *existing;
        mode = status.st_mode & 07777;
    } else if (errno != ENOENT) {
        throw ProfileWriteError(shownPath);
    }

    QList<Line> lines = SplitLines(content);
    const QByteArray end = LineEndOf(lines);
    const Position found = Find(lines, section, key);
    const QString text = OneLine(value);
    if (found.key >= 0) {
        lines[found.key].bytes = found.keyBytes + '=' + ToAnsi(text);
    } else {
        // The line the new ones follow may be a last line without a line end.
        const qsizetype after = found.section >= 0 ? found.lastLine : lines.size() - 1;
        if (after >= 0 && lines[after].end.isEmpty()) {
            lines[after].end = end;
        }
        const Line entry{ToAnsi(key + u'=' + text), end};
        if (found.section >= 0) {
            lines.insert(after + 1, entry);
        } else {
            lines.append(Line{ToAnsi(u'[' + section + u']'), end});
            lines.append(entry);
        }
    }

    QByteArray updated;
    updated.reserve(content.size() + text.size() * 2 + key.size() + section.size() + 8);
    for (const Line& line : lines) {
        updated += line.bytes;
        updated += line.end;
    }
    if (!ReplaceFile(target, updated, mode)) {
        throw ProfileWriteError(shownPath);
    }
}

}  // namespace sarn
