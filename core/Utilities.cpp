#include "core/Utilities.h"

#include "core/Settings.h"
#include "service/Wrappers.h"

namespace sarn {

TUtilities::TUtilities(SessionState& state, QString iniPath,
                       std::unique_ptr<SarnSoapProvider> httprio1)
    : iniPath_(std::move(iniPath)), httprio1_(std::move(httprio1)) {
    SetServiceClient(httprio1_.get());
    DataModuleCreate(state);
}

TUtilities::~TUtilities() {
    SetServiceClient(nullptr);
}

void TUtilities::DataModuleCreate(SessionState& state) {
    LoadSettings(state, iniPath_);
}

}  // namespace sarn
