#include "service/SoapReply.h"

#include "service/SoapErrors.h"
#include "service/XmlGuard.h"

#include <cstring>

namespace sarn {

namespace {

constexpr char kEnvelopeNamespace[] = "http://schemas.xmlsoap.org/soap/envelope/";

bool IsText(pugi::xml_node node) {
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

bool LocalIs(pugi::xml_node node, QLatin1StringView name,
             Qt::CaseSensitivity cs = Qt::CaseSensitive) {
    return node.type() == pugi::node_element && LocalName(node.name()).compare(name, cs) == 0;
}

QString TextOf(pugi::xml_node node) {
    QByteArray text;
    for (pugi::xml_node child : node.children()) {
        if (IsText(child)) {
            text.append(child.value());
        }
    }
    return QString::fromUtf8(text);
}

void CheckHeader(pugi::xml_node header) {
    for (pugi::xml_node entry : header.children()) {
        if (entry.type() != pugi::node_element) {
            continue;
        }
        const QString value = QString::fromUtf8(entry.attribute("mustUnderstand").value());
        if (value == QLatin1String("1") ||
            value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
            throw ServiceFault(QStringLiteral("Soap header %1 with attribute 'mustUnderstand' set "
                                              "to true was not handled")
                                   .arg(LocalName(entry.name())),
                               QStringLiteral("MustUnderstand"));
        }
    }
}

[[noreturn]] void RaiseFault(pugi::xml_node fault) {
    QString message, code, actor, detail;
    for (pugi::xml_node child : fault.children()) {
        if (LocalIs(child, QLatin1String("faultstring"), Qt::CaseInsensitive)) {
            message = TextOf(child);
        } else if (LocalIs(child, QLatin1String("faultcode"), Qt::CaseInsensitive)) {
            code = TextOf(child);
        } else if (LocalIs(child, QLatin1String("faultactor"), Qt::CaseInsensitive)) {
            actor = TextOf(child);
        } else if (LocalIs(child, QLatin1String("detail"), Qt::CaseInsensitive)) {
            detail = QString::fromUtf8(OuterXml(child));
        }
    }
    throw ServiceFault(message, code, actor, detail);
}

pugi::xml_node ResultElement(pugi::xml_node response) {
    pugi::xml_node only;
    int elements = 0;
    for (pugi::xml_node child : response.children()) {
        if (child.type() == pugi::node_element) {
            ++elements;
            only = child;
        }
    }
    if (elements == 1) {
        return only;
    }
    for (pugi::xml_node child : response.children()) {
        if (LocalIs(child, QLatin1String("Result"), Qt::CaseInsensitive) ||
            LocalIs(child, QLatin1String("Return"), Qt::CaseInsensitive)) {
            return child;
        }
    }
    return {};
}

}  // namespace

SoapResultValue ReadSoapReply(QByteArray body, bool operationHasResult) {
    pugi::xml_document document;
    XmlGuard::ParseInPlace(document, body);

    const pugi::xml_node envelope = document.document_element();
    if (!envelope) {
        throw MessageError(QStringLiteral("Invalid SOAP Response"));
    }
    const QString foundNamespace = NamespaceOf(envelope, Prefix(envelope.name()));
    const QString foundName = LocalName(envelope.name());
    if (foundName != QLatin1String("Envelope") ||
        foundNamespace != QLatin1String(kEnvelopeNamespace)) {
        throw MessageError(QStringLiteral("DocumentElement %1:%2 expected, %3:%4 found")
                               .arg(QLatin1String(kEnvelopeNamespace), QLatin1String("Envelope"),
                                    foundNamespace, foundName));
    }

    pugi::xml_node header, soapBody;
    bool anyElement = false;
    for (pugi::xml_node child : envelope.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        anyElement = true;
        pugi::xml_node* slot = LocalIs(child, QLatin1String("Header")) ? &header
                               : LocalIs(child, QLatin1String("Body")) ? &soapBody
                                                                       : nullptr;
        if (slot == nullptr) {
            continue;
        }
        if (*slot) {
            throw MessageError(QStringLiteral("Invalid SOAP response"));
        }
        *slot = child;
    }
    if (!anyElement || !soapBody) {
        throw MessageError(QStringLiteral("Invalid SOAP Response"));
    }
    if (header) {
        CheckHeader(header);
    }

    pugi::xml_node response;
    for (pugi::xml_node child : soapBody.children()) {
        if (child.type() == pugi::node_element) {
            response = child;
            break;
        }
    }
    if (!response) {
        return {};
    }
    if (LocalIs(response, QLatin1String("Fault"))) {
        RaiseFault(response);
    }
    if (!operationHasResult) {
        return {};
    }
    const pugi::xml_node result = ResultElement(response);
    if (!result) {
        throw MessageError(
            QStringLiteral("SOAP Response Packet: result element expected, received \"%1\"")
                .arg(QString::fromUtf8(OuterXml(response))));
    }

    bool onlyText = true;
    int texts = 0;
    for (pugi::xml_node child : result.children()) {
        if (!IsText(child)) {
            onlyText = false;
            break;
        }
        ++texts;
    }
    if (!onlyText) {
        QByteArray xml;
        for (pugi::xml_node child : result.children()) {
            xml.append(OuterXml(child));
        }
        return {true, xml};
    }
    if (texts == 1 && body.size() > 0) {
        // The text lies inside `body`, decoded in place: move it to the front and hand the
        // buffer itself back instead of copying tens of megabytes.
        const char* text = result.first_child().value();
        const std::size_t length = std::strlen(text);
        const char* begin = body.constData();
        if (text >= begin && text < begin + body.size()) {
            const std::ptrdiff_t offset = text - begin;
            document.reset();
            char* data = body.data();
            std::memmove(data, data + offset, length);
            body.truncate(static_cast<qsizetype>(length));
            return {true, std::move(body)};
        }
    }
    QByteArray text;
    for (pugi::xml_node child : result.children()) {
        text.append(child.value());
    }
    return {true, text};
}

qint32 SoapIntegerValue(const QByteArray& utf8) {
    const QByteArray trimmed = utf8.trimmed();
    bool ok = false;
    const qint32 value = trimmed.toInt(&ok, 10);
    if (!ok) {
        throw MessageError(
            QStringLiteral("'%1' is not a valid integer value").arg(QString::fromUtf8(trimmed)));
    }
    return value;
}

}  // namespace sarn
