#pragma once

#include <QString>

namespace sarn {

// Every address of the service is derived here from one host text ("host" or "host:port"). The
// program uses the host it was built for; tests make their own for a local server.
class ServiceHost {
  public:
    explicit ServiceHost(QString hostAndPort);

    static const ServiceHost& BuiltIn();  // the SARN_SERVICE_HOST of the build

    const QString& HostAndPort() const { return host_; }
    QString HostName() const;  // the host part alone: the UDP destination

    QString ServiceNamespace() const;       // http://<host>/ZODevEduriza3.0.1
    QString DescriptionLocation() const;    // http://<host>/SarnWebService/sarn.asmx?wsdl
    QString ForgetPasswordAddress() const;  // http://<host>/qkHome/servicezhmm.aspx
    QString AboutAddress() const;           // http://<host>/qkHome/aboutgsjs.html

    static constexpr quint16 kNotificationPort = 16888;

  private:
    QString host_;
};

}  // namespace sarn
