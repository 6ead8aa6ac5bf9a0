#include <QList>
#include "platform/http/HttpPostSession.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>

namespace sarn::http {

namespace {

// OpenSSL's verify results for a certificate outside its validity period.
constexpr long kCertNotYetValid = 9;
constexpr long kCertHasExpired = 10;

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct HeaderList {
    curl_slist* list = nullptr;
    ~HeaderList() { curl_slist_free_all(list); }
    void Add(const QByteArray& line) { list = curl_slist_append(list, line.constData()); }
};

// What one transfer reads and writes through libcurl's callbacks.
struct Transfer {
    HttpReply reply;
    bool tooLarge = false;
    bool stalled = false;

    // When a byte last moved either way.
    std::chrono::milliseconds stallLimit{};
    std::chrono::steady_clock::time_point lastMove;
    curl_off_t moved = -1;

    const char* upload = nullptr;
    std::size_t uploadSize = 0;
    std::size_t uploadPos = 0;

    void StartAttempt() {
        reply = HttpReply{};
        tooLarge = false;
        stalled = false;
        uploadPos = 0;
        lastMove = std::chrono::steady_clock::now();
        moved = -1;
    }
};

bool StartsWithNoCase(const char* line, std::size_t size, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    return size >= n && strncasecmp(line, prefix, n) == 0;
}

QByteArray HeaderValue(const char* line, std::size_t size, std::size_t nameLength) {
    return QByteArray(line + nameLength, static_cast<qsizetype>(size - nameLength)).trimmed();
}

size_t OnHeader(char* line, size_t one, size_t size, void* user) {
    auto* t = static_cast<Transfer*>(user);
    size *= one;
    if (StartsWithNoCase(line, size, "HTTP/")) {
        // A new status line starts a new reply (an interim 100 or an authentication round).
        t->reply.body.clear();
        t->reply.contentType.clear();
        const QByteArray status = QByteArray(line, static_cast<qsizetype>(size)).trimmed();
        const qsizetype first = status.indexOf(' ');
        const qsizetype second = first < 0 ? -1 : status.indexOf(' ', first + 1);
        t->reply.statusText = second < 0 ? QByteArray() : status.mid(second + 1);
    } else if (StartsWithNoCase(line, size, "content-type:")) {
        t->reply.contentType = HeaderValue(line, size, 13).left(256);
    } else if (StartsWithNoCase(line, size, "content-length:")) {
        bool ok = false;
        const qulonglong length = HeaderValue(line, size, 15).toULongLong(&ok);
        if (ok && length > kMaxReplyBytes) {
            t->tooLarge = true;
            return 0;
        }
        if (ok) {
            t->reply.body.reserve(static_cast<qsizetype>(length));
        }
    }
    return size;
}

size_t OnBody(char* data, size_t one, size_t size, void* user) {
    auto* t = static_cast<Transfer*>(user);
    size *= one;
    if (static_cast<std::size_t>(t->reply.body.size()) + size > kMaxReplyBytes) {
        t->tooLarge = true;
        return 0;
    }
    t->reply.body.append(data, static_cast<qsizetype>(size));
    return size;
}

size_t OnUpload(char* buffer, size_t one, size_t size, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const std::size_t piece =
        std::min({one * size, HttpPostSession::kLargestSinglePost, t->uploadSize - t->uploadPos});
    std::memcpy(buffer, t->upload + t->uploadPos, piece);
    t->uploadPos += piece;
    return piece;
}

// libcurl rewinds the body when it resends on a fresh connection or for authentication.
int OnSeek(void* user, curl_off_t offset, int origin) {
    auto* t = static_cast<Transfer*>(user);
    if (origin != SEEK_SET || offset < 0 || static_cast<std::size_t>(offset) > t->uploadSize) {
        return CURL_SEEKFUNC_CANTSEEK;
    }
    t->uploadPos = static_cast<std::size_t>(offset);
    return CURL_SEEKFUNC_OK;
}

// libcurl calls this at least once a second while a transfer runs, also when nothing arrives.
// Its own low-speed check averages over several seconds; this one counts from the last byte.
int OnProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto* t = static_cast<Transfer*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (downloaded + uploaded != t->moved) {
        t->moved = downloaded + uploaded;
        t->lastMove = now;
        return 0;
    }
    if (now - t->lastMove >= t->stallLimit) {
        t->stalled = true;
        return 1;
    }
    return 0;
}

void SetCommon(CURL* curl, const QByteArray& urlBytes, const QByteArray& agentBytes,
               HttpTimeouts timeouts, Transfer& transfer) {
    curl_easy_setopt(curl, CURLOPT_URL, urlBytes.constData());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, agentBytes.constData());
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    // The program takes its settings from nowhere but itself, proxies included.
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    transfer.stallLimit = timeouts.stall;
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
}

bool IsHttps(const QString& url) {
    return url.trimmed().startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

long VerifyResult(CURL* curl) {
    long result = 0;
    curl_easy_getinfo(curl, CURLINFO_SSL_VERIFYRESULT, &result);
    return result;
}

// Runs the transfer, resending once without chain verification when `retryUnverified` accepts
// the verification failure.
template <typename RetryRule>
CURLcode PerformWithCertRetry(CURL* curl, Transfer& transfer, RetryRule retryUnverified) {
    transfer.StartAttempt();
    CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_PEER_FAILED_VERIFICATION && retryUnverified(VerifyResult(curl))) {
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
        transfer.StartAttempt();
        code = curl_easy_perform(curl);
    }
    return code;
}

[[noreturn]] void Fail(CURLcode code, const Transfer& transfer) {
    if (transfer.tooLarge) {
        throw HttpFailure(QStringLiteral("The reply is larger than 1 GiB"));
    }
    if (transfer.stalled) {
        code = CURLE_OPERATION_TIMEDOUT;
    }
    throw HttpFailure(QString::fromUtf8(curl_easy_strerror(code)));
}

int Status(CURL* curl) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    return static_cast<int>(status);
}

}  // namespace

HttpPostSession::HttpPostSession(QString agent, HttpTimeouts timeouts, CredentialsPrompt* prompt)
    : agent_(std::move(agent)), timeouts_(timeouts), prompt_(prompt) {
    GlobalInit();
}

HttpPostSession::~HttpPostSession() {
    Close();
}

void HttpPostSession::Close() {
    if (handle_ != nullptr) {
        curl_easy_cleanup(static_cast<CURL*>(handle_));
        handle_ = nullptr;
    }
}

HttpReply HttpPostSession::Post(const QString& url, const QList<QByteArray>& headers,
                                const QByteArray& body, bool ignoreInvalidCerts) {
    if (handle_ == nullptr) {
        handle_ = curl_easy_init();
        if (handle_ == nullptr) {
            throw HttpFailure(QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)));
        }
    }
    CURL* curl = static_cast<CURL*>(handle_);
    try {
        Transfer transfer;
        const QByteArray urlBytes = url.toUtf8();
        const QByteArray agentBytes = agent_.toUtf8();
        SetCommon(curl, urlBytes, agentBytes, timeouts_, transfer);

        HeaderList list;
        for (const QByteArray& line : headers) {
            list.Add(line);
        }
        list.Add("Connection: Keep-Alive");
        list.Add("Accept:");
        list.Add("Expect:");
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list.list);

        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        transfer.upload = body.constData();
        transfer.uploadSize = static_cast<std::size_t>(body.size());
        if (transfer.uploadSize <= kLargestSinglePost) {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
        } else {
            curl_easy_setopt(curl, CURLOPT_POSTFIELDS, nullptr);
            curl_easy_setopt(curl, CURLOPT_READFUNCTION, &OnUpload);
            curl_easy_setopt(curl, CURLOPT_READDATA, &transfer);
        }
        curl_easy_setopt(curl, CURLOPT_SEEKFUNCTION, &OnSeek);
        curl_easy_setopt(curl, CURLOPT_SEEKDATA, &transfer);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(transfer.uploadSize));

        const bool https = IsHttps(url);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, https && ignoreInvalidCerts ? 0L : 2L);
        curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
        const auto outOfDateOnly = [&](long verify) {
            return https && ignoreInvalidCerts &&
                   (verify == kCertNotYetValid || verify == kCertHasExpired);
        };

        for (;;) {
            const CURLcode code = PerformWithCertRetry(curl, transfer, outOfDateOnly);
            if (code != CURLE_OK) {
                Fail(code, transfer);
            }
            transfer.reply.status = Status(curl);
            const int status = transfer.reply.status;
            if ((status != 401 && status != 407) || prompt_ == nullptr) {
                // The handle keeps its options; the next call sets its own body again.
                curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
                return std::move(transfer.reply);
            }
            const std::optional<Credentials> answer = prompt_->AskCredentials(status, url);
            if (!answer) {
                throw SilentAbort();
            }
            const QByteArray user = answer->user.toUtf8();
            const QByteArray password = answer->password.toUtf8();
            const bool proxy = status == 407;
            curl_easy_setopt(curl, proxy ? CURLOPT_PROXYUSERNAME : CURLOPT_USERNAME,
                             user.constData());
            curl_easy_setopt(curl, proxy ? CURLOPT_PROXYPASSWORD : CURLOPT_PASSWORD,
                             password.constData());
            curl_easy_setopt(curl, proxy ? CURLOPT_PROXYAUTH : CURLOPT_HTTPAUTH, CURLAUTH_ANY);
        }
    } catch (...) {
        Close();
        throw;
    }
}

HttpReply HttpGet(const QString& url, const QString& agent, HttpTimeouts timeouts) {
    GlobalInit();
    CURL* curl = curl_easy_init();
    if (curl == nullptr) {
        throw HttpFailure(QString::fromUtf8(curl_easy_strerror(CURLE_FAILED_INIT)));
    }
    struct Cleanup {
        CURL* curl;
        ~Cleanup() { curl_easy_cleanup(curl); }
    } cleanup{curl};

    Transfer transfer;
    const QByteArray urlBytes = url.trimmed().toUtf8();
    const QByteArray agentBytes = agent.toUtf8();
    SetCommon(curl, urlBytes, agentBytes, timeouts, transfer);
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
    HeaderList list;
    list.Add("Accept: */*");
    list.Add("Cache-Control: no-cache");
    list.Add("Pragma: no-cache");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list.list);
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);

    const bool https = IsHttps(url);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, https ? 0L : 2L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    // An unknown authority is retried ignoring it; date errors are ignored anyway.
    const CURLcode code = PerformWithCertRetry(curl, transfer, [https](long) { return https; });
    if (code != CURLE_OK) {
        Fail(code, transfer);
    }
    transfer.reply.status = Status(curl);
    return std::move(transfer.reply);
}

}  // namespace sarn::http
