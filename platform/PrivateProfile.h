#pragma once

#include "platform/Error.h"

#include <QString>

namespace sarn {

// "Unable to write to <full path>"
class ProfileWriteError : public SarnError {
  public:
    explicit ProfileWriteError(const QString& path);
};

// A private-profile (INI) file in the ANSI code page, with the platform's usual rules:
// case-insensitive section and key names, values trimmed and cut at 2047 characters, "0x"
// hexadecimal integers, replace in place / append to section / append section / create file.
// Every write reaches the disk before it returns and replaces the file atomically, so a crash
// or a full disk leaves either the old or the new file, never a cut one. Lines a write does not
// touch keep their bytes.
class PrivateProfile {
  public:
    static constexpr qsizetype kMaxValueLength = 2047;

    explicit PrivateProfile(QString path);

    const QString& Path() const { return path_; }

    // A missing or unreadable file, section or key gives the default.
    QString ReadString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Decimal, or hexadecimal after "0x"/"0X" when the value is longer than two characters; a
    // value that is not a 32-bit integer gives the default.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const {
        return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
    }

    // Throws ProfileWriteError when the file is read-only, its directory cannot take the new
    // file, or the disk refuses the data; the file is then as it was.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteBool(const QString& section, const QString& key, bool value) {
        WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
    }

  private:
    QString path_;
};

}  // namespace sarn
