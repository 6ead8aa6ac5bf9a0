#pragma once

#include "platform/Error.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <cstddef>
#include <optional>

namespace sarn::http {

// A reply as far as the transport reads it. The body is reserved from Content-Length so a large
// reply is received into one allocation.
struct HttpReply {
    int status = 0;
    QByteArray statusText;   // the reason phrase of the status line
    QByteArray contentType;  // at most 256 characters, as the header gives it
    QByteArray body;
};

// The transport failed below HTTP (resolution, connection, send, read, a stall, an oversized
// reply). The message is the library's text for the failure; there is no status code.
class HttpFailure : public SarnError {
  public:
    using SarnError::SarnError;
};

// A dead server must not freeze the caller: give up on a connect after `connect`, and on a
// transfer when no byte has moved for `stall`. A transfer that keeps moving is never cut.
struct HttpTimeouts {
    std::chrono::milliseconds connect{std::chrono::seconds(60)};
    std::chrono::milliseconds stall{std::chrono::seconds(60)};
};

// A reply is refused once it grows past this many bytes.
inline constexpr std::size_t kMaxReplyBytes = std::size_t{1} << 30;

struct Credentials {
    QString user;
    QString password;
};

// Asked when the server (401) or a proxy (407) wants authentication. An answer resends the
// request with those credentials; no answer ends the call silently.
class CredentialsPrompt {
  public:
    virtual ~CredentialsPrompt() = default;
    virtual std::optional<Credentials> AskCredentials(int status, const QString& url) = 0;
};

}  // namespace sarn::http
