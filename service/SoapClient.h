#pragma once

#include "platform/http/HttpTypes.h"
#include "service/SarnSoap.h"

#include <QString>

#include <memory>

namespace sarn {

class ServiceHost;

// What a SoapClient is given rather than deciding itself: who answers an authentication
// request (none: a 401 or 407 fails as any other status), and the transport time-outs.
struct SoapClientSeams {
    http::CredentialsPrompt* credentials = nullptr;
    http::HttpTimeouts timeouts;
};

// The SOAP client object: fetches the service description on its first call and keeps it, and
// sends each call as a SOAP 1.1 document-style POST on a kept-alive connection.
class SoapClient : public SarnSoapProvider {
  public:
    SoapClient();
    explicit SoapClient(SoapClientSeams seams);
    ~SoapClient() override;

    SoapClient(const SoapClient&) = delete;
    SoapClient& operator=(const SoapClient&) = delete;

    // Setting the location clears the service and port names, so set them afterwards.
    void SetWSDLLocation(const QString& location);
    void SetService(const QString& service);
    void SetPort(const QString& port);
    void SetAgent(const QString& agent);
    void SetUseUTF8InHeader(bool on);

    sarnSoap& GetsarnSoap() override;

  private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

// A client configured as HTTPRIO1 is: the host's description location, service "sarn", port
// "sarnSoap", agent "Tolvern SOAP 1.2", the charset in the Content-Type header.
std::unique_ptr<SoapClient> MakeSarnSoapClient(const ServiceHost& host);
std::unique_ptr<SoapClient> MakeSarnSoapClient(const ServiceHost& host, SoapClientSeams seams);

}  // namespace sarn
