#pragma once

#include "core/Base64Decoder.h"
#include "core/GeneralErrorBox.h"
#include "core/SessionState.h"
#include "service/SarnSoap.h"

#include <QString>

#include <memory>

namespace sarn {

// The data module that owns what the whole program shares: the SOAP client HTTPRIO1, through
// which every service wrapper calls, and the Base64 decoder. Creating it loads the settings.
// With an error box, an error of that creation handler is shown there and the object exists
// all the same (without one, it propagates).
class TUtilities {
  public:
    TUtilities(SessionState& state, QString iniPath, std::unique_ptr<SarnSoapProvider> httprio1,
               GeneralErrorBox* errors = nullptr);
    ~TUtilities();

    TUtilities(const TUtilities&) = delete;
    TUtilities& operator=(const TUtilities&) = delete;

    SarnSoapProvider& HTTPRIO1() { return *httprio1_; }
    const Base64Decoder& IdDecoderMIME1() const { return decoder_; }
    const QString& IniPath() const { return iniPath_; }

  private:
    void DataModuleCreate(SessionState& state);

    QString iniPath_;
    std::unique_ptr<SarnSoapProvider> httprio1_;
    Base64Decoder decoder_;
};

}  // namespace sarn
