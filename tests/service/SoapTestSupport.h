#pragma once

#include "tests/service/LoopbackServer.h"

#include <QFile>
#include <QString>

#include <ostream>

// Failure output shows texts as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace sarn::testing {

// The namespace of the fixture descriptions under data/.
inline const QString kTestNamespace = QStringLiteral("http://sarn.test/ZODevEduriza3.0.1");

inline QByteArray FixtureBytes(const QString& name) {
    QFile file(QStringLiteral(SARN_SOAP_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

inline QByteArray SoapEnvelope(const QByteArray& bodyContent) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\"><soap:Body>" +
           bodyContent + "</soap:Body></soap:Envelope>";
}

// `<OpResponse xmlns="ns"><OpResult>value</OpResult></OpResponse>` as the service writes it.
inline QByteArray SoapResponse(const QByteArray& operation, const QByteArray& value) {
    return SoapEnvelope("<" + operation + "Response xmlns=\"" + kTestNamespace.toUtf8() + "\"><" +
                        operation + "Result>" + value + "</" + operation + "Result></" + operation +
                        "Response>");
}

inline CannedReply SoapOk(const QByteArray& envelope) {
    return HttpReplyOf(200, "OK", "text/xml; charset=utf-8", envelope);
}

}  // namespace sarn::testing
