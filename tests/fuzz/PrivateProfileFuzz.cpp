// Feeds arbitrary bytes to the settings reader as the content of info.ini, then writes one key
// and checks that the write lands (read back as written) and disturbs no other key's value.

#include "platform/Error.h"
#include "platform/PrivateProfile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

struct Probe {
    const char16_t* section;
    const char16_t* key;
};

// The keys the program reads, plus odd spellings of them.
constexpr Probe kProbes[] = {
    {u"Version", u"VersionNo"},
    {u"UserInfo", u"UserName"},
    {u"UserInfo", u"Password"},
    {u"UserInfo", u"savePassword"},
    {u"UserInfo", u"autoLogin"},
    {u"Hint", u"Hint"},
    {u"Hint", u"Today"},
    {u"USERINFO", u"username"},
    {u"", u""},
    {u" UserInfo ", u"autoLogin"},
    {u"x", u"="},
};

QString Section(const Probe& p) {
    return QString::fromUtf16(p.section);
}
QString Key(const Probe& p) {
    return QString::fromUtf16(p.key);
}

void Check(bool condition) {
    if (!condition) {
        abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("info.ini"));
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }

    sarn::PrivateProfile profile(path);
    QString before[std::size(kProbes)];
    for (size_t i = 0; i < std::size(kProbes); ++i) {
        before[i] = profile.ReadString(Section(kProbes[i]), Key(kProbes[i]), QStringLiteral("-"));
        (void)profile.ReadInteger(Section(kProbes[i]), Key(kProbes[i]), 7);
    }

    // The first input byte picks which key is written, so every kind of position (existing key,
    // existing section, new section, file without a last line end) gets exercised.
    const size_t target = size == 0 ? 0 : data[0] % 7;
    const QString value = QStringLiteral("v%1").arg(size);
    try {
        profile.WriteString(Section(kProbes[target]), Key(kProbes[target]), value);
    } catch (const sarn::SarnError&) {
        return 0;
    }

    Check(profile.ReadString(Section(kProbes[target]), Key(kProbes[target]), QString()) == value);
    for (size_t i = 0; i < 7; ++i) {
        if (i == target) {
            continue;
        }
        Check(profile.ReadString(Section(kProbes[i]), Key(kProbes[i]), QStringLiteral("-")) ==
              before[i]);
    }
    return 0;
}
