#pragma once

#include "platform/http/HttpTypes.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace sarn::http {

// The POST side of a SOAP client: one libcurl handle that keeps its connection alive between
// calls. Any transport failure closes it; the next Post opens a new one.
class HttpPostSession {
  public:
    // Bodies longer than this go out with their total length declared, written in pieces of at
    // most this size.
    static constexpr std::size_t kLargestSinglePost = 32768;

    HttpPostSession(QString agent, HttpTimeouts timeouts, CredentialsPrompt* prompt);
    ~HttpPostSession();

    HttpPostSession(const HttpPostSession&) = delete;
    HttpPostSession& operator=(const HttpPostSession&) = delete;

    // Sends `body` to `url` with the given header lines (in order, after the request line and
    // the library's Host and User-Agent). Returns whatever status the server answers; throws
    // HttpFailure below HTTP and SilentAbort when the credentials prompt is cancelled.
    HttpReply Post(const QString& url, const QList<QByteArray>& headers, const QByteArray& body,
                   bool ignoreInvalidCerts);

    bool IsOpen() const { return handle_ != nullptr; }
    void Close();

  private:
    QString agent_;
    HttpTimeouts timeouts_;
    CredentialsPrompt* prompt_;
    void* handle_ = nullptr;  // CURL*
};

// The description fetch: a GET on a handle of its own, closed when done. Asks for no caching,
// accepts anything; for https ignores host-name errors and retries once ignoring the
// certificate chain when the authority is unknown or the certificate out of date.
HttpReply HttpGet(const QString& url, const QString& agent, HttpTimeouts timeouts);

}  // namespace sarn::http
