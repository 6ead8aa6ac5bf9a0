#include "core/Settings.h"

#include "platform/ExecutablePath.h"
#include "platform/PrivateProfile.h"
#include "service/Wrappers.h"

namespace sarn {

namespace {

const QString kVersion = QStringLiteral("Version");
const QString kUserInfo = QStringLiteral("UserInfo");
const QString kHint = QStringLiteral("Hint");

QString ReadDecrypted(const PrivateProfile& file, const QString& key) {
    const QString stored = file.ReadString(kUserInfo, key, QString());
    return stored.isEmpty() ? stored : SvcDecryptDES(stored);
}

// A service that cannot be reached answers EncryptDES with an empty text; writing that would
// erase the remembered credentials, so the stored value is kept instead.
void WriteEncrypted(PrivateProfile& file, const QString& key, const QString& plain) {
    const QString encrypted = SvcEncryptDES(plain);
    if (encrypted.isEmpty() && !plain.isEmpty()) {
        return;
    }
    file.WriteString(kUserInfo, key, encrypted);
}

}  // namespace

QString SettingsFilePath() {
    return ExecutableDirectory() + QStringLiteral("info.ini");
}

void LoadSettings(SessionState& state, const QString& iniPath) {
    const PrivateProfile file(iniPath);
    state.VersionNo = file.ReadString(kVersion, QStringLiteral("VersionNo"), QString());
    state.UserName = ReadDecrypted(file, QStringLiteral("UserName"));
    state.Password = ReadDecrypted(file, QStringLiteral("Password"));
    state.savePassword = file.ReadBool(kUserInfo, QStringLiteral("savePassword"), false);
    state.autoLogin = file.ReadBool(kUserInfo, QStringLiteral("autoLogin"), false);
    state.Hint = file.ReadBool(kHint, QStringLiteral("Hint"), true);
    state.Today = file.ReadString(kHint, QStringLiteral("Today"), QString());
}

void SaveSettings(const SessionState& state, const QString& iniPath) {
    PrivateProfile file(iniPath);
    file.WriteString(kVersion, QStringLiteral("VersionNo"), state.VersionNo);
    WriteEncrypted(file, QStringLiteral("UserName"), state.UserName);
    WriteEncrypted(file, QStringLiteral("Password"), state.Password);
    file.WriteBool(kUserInfo, QStringLiteral("savePassword"), state.savePassword);
    file.WriteBool(kUserInfo, QStringLiteral("autoLogin"), state.autoLogin);
    file.WriteBool(kHint, QStringLiteral("Hint"), state.Hint);
    file.WriteString(kHint, QStringLiteral("Today"), state.Today);
}

}  // namespace sarn
