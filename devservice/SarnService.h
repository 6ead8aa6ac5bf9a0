#pragma once

#include "devservice/Soap.h"

#include <string>

namespace sarndev {

class Store;

// Who asked, as the HTTP layer saw it.
struct CallContext {
    std::string host;        // the Host header: every address the service hands out uses it
    std::string remoteAddr;  // the caller's address
};

// The business of every operation but GetNewUpdateFile, whose long result the HTTP layer
// streams from the published file. Raises SoapFault for requests it cannot serve.
class SarnService {
  public:
    explicit SarnService(Store& store) : store_(store) {}

    // The result text (UTF-8), or empty for a void operation.
    std::string Call(const SoapRequest& request, const CallContext& context);

  private:
    Store& store_;
};

// The notice shown when none was ever set.
extern const char* const kDefaultNotice;

}  // namespace sarndev
