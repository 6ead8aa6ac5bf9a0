#include "devservice/HttpFront.h"

#include "devservice/Portal.h"
#include "devservice/SarnService.h"
#include "devservice/Soap.h"
#include "devservice/Store.h"
#include "devservice/Text.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iostream>
#include <thread>

namespace sarndev {

namespace {

constexpr const char* kEndpointPath = "/SarnWebService/sarn.asmx";

// The bytes of one reply body, produced piece by piece from any offset.
class ReplyBody {
  public:
    virtual ~ReplyBody() = default;
    virtual size_t Size() const = 0;
    virtual std::string Read(size_t offset) = 0;  // at least one byte while offset < Size()
};

class TextBody : public ReplyBody {
  public:
    explicit TextBody(std::string text) : text_(std::move(text)) {}
    size_t Size() const override { return text_.size(); }
    std::string Read(size_t offset) override { return text_.substr(offset, 64 * 1024); }

  private:
    std::string text_;
};

// The reply frame with the Base64 of a file in the middle, encoded as it is sent: the image is
// never held in memory whole, neither raw nor encoded.
class Base64FileBody : public ReplyBody {
  public:
    Base64FileBody(ReplyFrame frame, const std::filesystem::path& file)
        : frame_(std::move(frame)), in_(file, std::ios::binary) {
        if (!in_) {
            throw SoapFault(false,
                            "Server was unable to process request. ---> the update image "
                            "cannot be read.");
        }
        in_.seekg(0, std::ios::end);
        fileSize_ = static_cast<size_t>(in_.tellg());
        encodedSize_ = Base64Length(fileSize_);
    }
    size_t Size() const override { return frame_.head.size() + encodedSize_ + frame_.tail.size(); }
    std::string Read(size_t offset) override {
        if (offset < frame_.head.size()) {
            return frame_.head.substr(offset);
        }
        offset -= frame_.head.size();
        if (offset >= encodedSize_) {
            return frame_.tail.substr(offset - encodedSize_);
        }
        constexpr size_t kGroups = 16 * 1024;  // 48 KiB of the file, 64 KiB of text
        size_t group = offset / 4;
        std::string raw(std::min(kGroups * 3, fileSize_ - group * 3), '\0');
        in_.clear();
        in_.seekg(static_cast<std::streamoff>(group * 3));
        in_.read(raw.data(), static_cast<std::streamsize>(raw.size()));
        if (static_cast<size_t>(in_.gcount()) != raw.size()) {
            throw std::runtime_error("the update image shrank while it was sent");
        }
        return Base64Encode(raw).substr(offset % 4);
    }

  private:
    ReplyFrame frame_;
    std::ifstream in_;
    size_t fileSize_ = 0;
    size_t encodedSize_ = 0;
};

std::string HostOf(const httplib::Request& req, const std::string& fallback) {
    std::string host = req.get_header_value("Host");
    return host.empty() ? fallback : host;
}

std::string RawQuery(const httplib::Request& req) {
    auto q = req.target.find('?');
    return q == std::string::npos ? std::string() : req.target.substr(q + 1);
}

bool AsksForDescription(const httplib::Request& req) {
    std::string q = RawQuery(req);
    std::transform(q.begin(), q.end(), q.begin(), [](unsigned char c) { return std::tolower(c); });
    return q == "wsdl" || q.rfind("wsdl&", 0) == 0;
}

std::string HelpPage(const std::string& host) {
    std::string items;
    for (const Operation& op : Contract()) {
        items += std::string("<li>") + op.name + "</li>";
    }
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>sarn Web Service</title>"
           "</head><body><h1>sarn</h1><p>The following operations are supported. For a formal "
           "definition, please review the <a href=\"" +
           MarkupEscape(EndpointFor(host)) + "?WSDL\">Service Description</a>.</p><ul>" + items +
           "</ul></body></html>\n";
}

}  // namespace

HttpFront::HttpFront(Store& store, HttpOptions options)
    : server_(std::make_unique<httplib::Server>()), store_(store), options_(std::move(options)) {
    server_->set_keep_alive_max_count(1000);
    server_->set_keep_alive_timeout(5);
    server_->set_read_timeout(10);
    // Bodies up to the limit are read; a larger one is drained and answered with a fault, so the
    // limit here only stops a body no client would send.
    server_->set_payload_max_length(options_.maxRequestBytes * 16);
    Routes();
}

HttpFront::~HttpFront() = default;

int HttpFront::Bind(const std::string& address, int port) {
    int bound = port == 0 ? server_->bind_to_any_port(address)
                          : (server_->bind_to_port(address, port) ? port : -1);
    if (bound <= 0) {
        throw std::runtime_error("cannot listen on " + address + ":" + std::to_string(port));
    }
    if (options_.fallbackHost.empty()) {
        options_.fallbackHost = address + ":" + std::to_string(bound);
    }
    return bound;
}

void HttpFront::Serve() {
    server_->listen_after_bind();
}

void HttpFront::Stop() {
    *stopping_ = true;
    server_->stop();
}

void HttpFront::Routes() {
    httplib::Server& s = *server_;

    s.Get(kEndpointPath, [this](const httplib::Request& req, httplib::Response& res) {
        std::string host = HostOf(req, options_.fallbackHost);
        if (AsksForDescription(req)) {
            res.set_content(DescriptionXml(host), "text/xml; charset=utf-8");
        } else {
            res.set_content(HelpPage(host), "text/html; charset=utf-8");
        }
    });

    s.Post(kEndpointPath, [this](const httplib::Request& req, httplib::Response& res,
                                 const httplib::ContentReader& reader) {
        std::string body;
        bool tooLarge = false;
        reader([&](const char* data, size_t length) {
            if (body.size() + length > options_.maxRequestBytes) {
                tooLarge = true;  // keep reading, so the connection stays in step
            } else {
                body.append(data, length);
            }
            return true;
        });
        const std::string host = HostOf(req, options_.fallbackHost);
        const std::string ns = NamespaceFor(host);
        SoapVersion version = SoapVersion::V11;
        std::shared_ptr<ReplyBody> reply;
        try {
            if (tooLarge) {
                body.clear();
                throw SoapFault(true,
                                "Server was unable to read request: the request is larger than " +
                                    std::to_string(options_.maxRequestBytes) + " bytes.");
            }
            std::optional<std::string> action;
            if (req.has_header("SOAPAction"))
                action = req.get_header_value("SOAPAction");
            SoapRequest request = ParseRequest(body, ns, action, version);
            const Operation& op = *request.operation;
            if (std::string_view(op.name) == "GetNewUpdateFile") {
                Publication pub = store_.Published();
                if (pub.file.empty()) {
                    reply = std::make_shared<TextBody>(ResponseXml(version, ns, op, ""));
                } else {
                    reply =
                        std::make_shared<Base64FileBody>(ResponseFrame(version, ns, op), pub.file);
                }
            } else {
                SarnService service(store_);
                std::string result = service.Call(request, {host, req.remote_addr});
                reply = std::make_shared<TextBody>(ResponseXml(version, ns, op, result));
            }
            res.status = 200;
        } catch (const SoapFault& fault) {
            reply =
                std::make_shared<TextBody>(FaultXml(version, fault.ClientsFault(), fault.what()));
            res.status = 500;
        } catch (const std::exception& e) {
            reply = std::make_shared<TextBody>(
                FaultXml(version, false,
                         std::string("Server was unable to process request. ---> ") + e.what()));
            res.status = 500;
        }
        const std::optional<size_t> stall = options_.stallAfterBytes;
        res.set_content_provider(
            reply->Size(), ContentTypeFor(version),
            [reply, stall, stopping = stopping_](size_t offset, size_t, httplib::DataSink& sink) {
                if (stall && offset >= *stall) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    return !*stopping && sink.is_writable();
                }
                std::string piece;
                try {
                    piece = reply->Read(offset);
                } catch (const std::exception& e) {
                    // Headers are out already: all that is left is to cut the connection.
                    std::cerr << "sarn-service: reply cut short: " << e.what() << "\n";
                    return false;
                }
                if (stall)
                    piece.resize(std::min(piece.size(), *stall - offset));
                return sink.write(piece.data(), piece.size());
            });
    });

    auto page = [](httplib::Response& res, const Page& p) {
        res.status = p.status;
        res.set_content(p.html, "text/html; charset=utf-8");
    };
    s.Get("/portal/index.html", [this, page](const httplib::Request& req, httplib::Response& res) {
        page(res, PortalPage(store_, RawQuery(req), false));
    });
    s.Get("/portal/classic.html",
          [this, page](const httplib::Request& req, httplib::Response& res) {
              page(res, PortalPage(store_, RawQuery(req), true));
          });
    s.Get("/qkHome/servicezhmm.aspx", [page](const httplib::Request&, httplib::Response& res) {
        page(res, ForgetPasswordPage());
    });
    s.Get("/qkHome/aboutgsjs.html",
          [page](const httplib::Request&, httplib::Response& res) { page(res, AboutPage()); });

    s.set_exception_handler([](const httplib::Request&, httplib::Response& res,
                               std::exception_ptr ep) {
        std::string what = "internal error";
        try {
            std::rethrow_exception(ep);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        std::cerr << "sarn-service: " << what << "\n";
        res.status = 500;
        res.set_content(FaultXml(SoapVersion::V11, false, what), ContentTypeFor(SoapVersion::V11));
    });
}

}  // namespace sarndev
