#include "service/SoapEnvelope.h"

namespace sarn {

namespace {

// Carriage returns and tabs are written as references so that the service reads them back as
// sent; a parser would otherwise normalise them away.
void AppendEscaped(QByteArray& out, const QString& text, bool attribute) {
    const QByteArray utf8 = text.toUtf8();
    out.reserve(out.size() + utf8.size());
    for (const char c : utf8) {
        switch (c) {
            case '&':
                out.append("&amp;");
                break;
            case '<':
                out.append("&lt;");
                break;
            case '>':
                out.append("&gt;");
                break;
            case '"':
                attribute ? out.append("&quot;") : out.append(c);
                break;
            case '\r':
                out.append("&#13;");
                break;
            case '\n':
                attribute ? out.append("&#10;") : out.append(c);
                break;
            case '\t':
                attribute ? out.append("&#9;") : out.append(c);
                break;
            default:
                out.append(c);
        }
    }
}

}  // namespace

QByteArray BuildSoapRequest(const SoapOperation& operation, const QString& operationNamespace,
                            std::span<const SoapArgument> arguments) {
    QByteArray out;
    out.append(
        "<?xml version=\"1.0\"?>\n"
        "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"><SOAP-ENV:Body>");
    const QByteArray name = QString::fromUtf16(operation.name).toUtf8();
    out.append('<').append(name).append(" xmlns=\"");
    AppendEscaped(out, operationNamespace, true);
    out.append("\">");
    for (std::size_t i = 0; i < operation.parameters.size(); ++i) {
        const QByteArray parameter = QString::fromUtf16(operation.parameters[i].name).toUtf8();
        out.append('<').append(parameter).append('>');
        if (i < arguments.size()) {
            if (const auto* number = std::get_if<qint32>(&arguments[i])) {
                out.append(QByteArray::number(*number));
            } else {
                AppendEscaped(out, std::get<QString>(arguments[i]), false);
            }
        }
        out.append("</").append(parameter).append('>');
    }
    out.append("</").append(name).append("></SOAP-ENV:Body></SOAP-ENV:Envelope>");
    return out;
}

}  // namespace sarn
