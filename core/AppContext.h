#pragma once

#include "core/GeneralErrorBox.h"
#include "core/SessionState.h"
#include "core/Utilities.h"
#include "platform/MessagePresenter.h"
#include "service/SarnSoap.h"
#include "service/ServiceHost.h"

#include <QString>

#include <functional>
#include <memory>

namespace sarn {

// What the windows of one run are built with. main fills it with the real things; tests with
// fakes, temporary paths and short intervals.
struct AppContext {
    SessionState& state;
    MessagePresenter& boxes;
    GeneralErrorBox& errors;
    TUtilities& utilities;
    const ServiceHost& host;
    QString iniPath;         // info.ini
    QString executablePath;  // the file an update replaces
    // A new client configured like HTTPRIO1, for the update thread's own downloads.
    std::function<std::unique_ptr<SarnSoapProvider>()> makeServiceClient;
};

}  // namespace sarn
