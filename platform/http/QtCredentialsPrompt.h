#pragma once

#include "platform/http/HttpTypes.h"

namespace sarn::http {

// The modal dialog that asks for a user name and password when the service or a proxy wants
// them. OK resends with them; Cancel ends the call silently.
class QtCredentialsPrompt : public CredentialsPrompt {
  public:
    std::optional<Credentials> AskCredentials(int status, const QString& url) override;
};

}  // namespace sarn::http
