#include "core/Utilities.h"

#include "core/Settings.h"
#include "service/Wrappers.h"

namespace sarn {

TUtilities::TUtilities(SessionState& state, QString iniPath,
                       std::unique_ptr<SarnSoapProvider> httprio1, GeneralErrorBox* errors)
    : iniPath_(std::move(iniPath)), httprio1_(std::move(httprio1)) {
    SetServiceClient(httprio1_.get());
    if (errors != nullptr) {
        errors->Guard([&] { DataModuleCreate(state); });
    } else {
        try {
            DataModuleCreate(state);
        } catch (...) {
            SetServiceClient(nullptr);  // the destructor will not run to undo it
            throw;
        }
    }
}

TUtilities::~TUtilities() {
    SetServiceClient(nullptr);
}

void TUtilities::DataModuleCreate(SessionState& state) {
    LoadSettings(state, iniPath_);
}

}  // namespace sarn
