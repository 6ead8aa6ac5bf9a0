#include "service/ServiceHost.h"

#include "sarn_build_config.h"

namespace sarn {

ServiceHost::ServiceHost(QString hostAndPort) : host_(std::move(hostAndPort)) {}

const ServiceHost& ServiceHost::BuiltIn() {
    static const ServiceHost host(QString::fromUtf8(SARN_SERVICE_HOST));
    return host;
}

QString ServiceHost::HostName() const {
    if (host_.startsWith(u'[')) {  // [v6]:port
        const qsizetype close = host_.indexOf(u']');
        return close > 0 ? host_.mid(1, close - 1) : host_;
    }
    const qsizetype colon = host_.lastIndexOf(u':');
    return colon >= 0 && host_.indexOf(u':') == colon ? host_.left(colon) : host_;
}

QString ServiceHost::ServiceNamespace() const {
    return QStringLiteral("http://") + host_ + QStringLiteral("/ZODevEduriza3.0.1");
}

QString ServiceHost::DescriptionLocation() const {
    return QStringLiteral("http://") + host_ + QStringLiteral("/SarnWebService/sarn.asmx?wsdl");
}

QString ServiceHost::ForgetPasswordAddress() const {
    return QStringLiteral("http://") + host_ + QStringLiteral("/qkHome/servicezhmm.aspx");
}

QString ServiceHost::AboutAddress() const {
    return QStringLiteral("http://") + host_ + QStringLiteral("/qkHome/aboutgsjs.html");
}

}  // namespace sarn
