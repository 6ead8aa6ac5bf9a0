#pragma once

#include <QString>

namespace sarn {

// The process-wide values of one run. One instance lives for the whole process (main owns it)
// and is handed by reference to whatever reads or writes it. Main thread only, except VersionNo,
// which the update thread sets while the main thread leaves it alone.
struct SessionState {
    QString UserName;
    QString Password;  // the plain password, never the digest
    bool savePassword = false;
    bool autoLogin = false;
    qint32 CustomerID = 0;  // positive exactly when a login succeeded in this run
    QString VersionNo;
    QString OfferedVersionNo;
    bool Hint = true;
    QString Today;
};

}  // namespace sarn
