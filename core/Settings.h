#pragma once

#include "core/SessionState.h"

#include <QString>

namespace sarn {

// Path of info.ini beside the executable.
QString SettingsFilePath();

// Fills the state from the file; stored user name and password go through SvcDecryptDES.
void LoadSettings(SessionState& state, const QString& iniPath);

// Writes all seven keys, each through to the disk before the next; the user name and password
// through SvcEncryptDES. Throws ProfileWriteError at the first key that cannot be written.
void SaveSettings(const SessionState& state, const QString& iniPath);

}  // namespace sarn
