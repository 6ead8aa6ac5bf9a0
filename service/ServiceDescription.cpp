#include "service/ServiceDescription.h"

#include "platform/Error.h"
#include "service/XmlGuard.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace sarn {

namespace {

constexpr char kWsdlSoapNamespace[] = "http://schemas.xmlsoap.org/wsdl/soap/";

bool HasLocalName(pugi::xml_node node, const char16_t* name) {
    return node.type() == pugi::node_element && LocalName(node.name()) == QStringView(name);
}

// A child in the WSDL SOAP binding namespace (soap12 elements are a different namespace).
pugi::xml_node SoapChild(pugi::xml_node parent, const char16_t* name) {
    for (pugi::xml_node child : parent.children()) {
        if (HasLocalName(child, name) &&
            NamespaceOf(child, Prefix(child.name())) == QLatin1String(kWsdlSoapNamespace)) {
            return child;
        }
    }
    return {};
}

pugi::xml_node NamedChild(pugi::xml_node parent, const char16_t* element, const QString& name) {
    for (pugi::xml_node child : parent.children()) {
        if (HasLocalName(child, element) &&
            QString::fromUtf8(child.attribute("name").value()) == name) {
            return child;
        }
    }
    return {};
}

QString ResolveLocation(const QString& base, const QString& reference) {
    const QString trimmed = base.trimmed();
    if (trimmed.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive) ||
        trimmed.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive)) {
        return QUrl(trimmed).resolved(QUrl(reference)).toString();
    }
    if (reference.contains(QStringLiteral("://")) || QDir::isAbsolutePath(reference)) {
        return reference;
    }
    return QFileInfo(trimmed).dir().filePath(reference);
}

}  // namespace

WsdlDocument::WsdlDocument(QByteArray bytes) : buffer_(std::move(bytes)) {
    XmlGuard::ParseInPlace(document_, buffer_);
}

QString WsdlDocument::TargetNamespace() const {
    return QString::fromUtf8(Definitions().attribute("targetNamespace").value());
}

QStringList WsdlDocument::ImportLocations() const {
    QStringList locations;
    for (pugi::xml_node child : Definitions().children()) {
        if (HasLocalName(child, u"import")) {
            if (const pugi::xml_attribute location = child.attribute("location")) {
                locations << QString::fromUtf8(location.value());
            }
        }
    }
    return locations;
}

ServiceDescription::ServiceDescription(QString location, std::unique_ptr<WsdlDocument> main,
                                       Fetch fetch)
    : location_(std::move(location)), main_(std::move(main)), fetch_(std::move(fetch)) {}

const std::vector<std::unique_ptr<WsdlDocument>>& ServiceDescription::Imports() {
    if (!importsLoaded_) {
        importsLoaded_ = true;
        for (const QString& location : main_->ImportLocations()) {
            // A document that cannot be read contributes nothing; the lookup then fails as a
            // missing binding or address does.
            try {
                imports_.push_back(
                    std::make_unique<WsdlDocument>(fetch_(ResolveLocation(location_, location))));
            } catch (const SarnError&) {
            }
        }
    }
    return imports_;
}

ServiceDescription::PortMatch ServiceDescription::FindPort(const QString& service,
                                                           const QString& port) {
    const auto search = [&](const WsdlDocument& document) -> PortMatch {
        for (pugi::xml_node s : document.Definitions().children()) {
            if (HasLocalName(s, u"service") &&
                QString::fromUtf8(s.attribute("name").value()) == service) {
                if (pugi::xml_node p = NamedChild(s, u"port", port)) {
                    return {&document, p};
                }
            }
        }
        return {};
    };
    if (PortMatch match = search(*main_); match.document) {
        return match;
    }
    for (const auto& imported : Imports()) {
        if (PortMatch match = search(*imported); match.document) {
            return match;
        }
    }
    return {};
}

pugi::xml_node ServiceDescription::FindBinding(const PortMatch& port) {
    const char* qname = port.port.attribute("binding").value();
    const QString local = LocalName(qname);
    const QString prefix = Prefix(qname);
    // An unprefixed name stands for the target namespace of the document that names it.
    const QString wanted =
        prefix.isEmpty() ? port.document->TargetNamespace() : NamespaceOf(port.port, prefix);
    const auto search = [&](const WsdlDocument& document) -> pugi::xml_node {
        if (!prefix.isEmpty() && document.TargetNamespace() != wanted) {
            return {};
        }
        return NamedChild(document.Definitions(), u"binding", local);
    };
    if (pugi::xml_node binding = search(*main_)) {
        return binding;
    }
    for (const auto& imported : Imports()) {
        if (pugi::xml_node binding = search(*imported)) {
            return binding;
        }
    }
    return {};
}

ServiceDescription::OperationBinding ServiceDescription::LookupOperation(const QString& service,
                                                                         const QString& port,
                                                                         const QString& operation) {
    OperationBinding result;
    const PortMatch match = FindPort(service, port);
    if (!match.document) {
        return result;
    }
    const pugi::xml_node binding = FindBinding(match);
    if (!binding) {
        return result;
    }
    result.bindingFound = true;
    const pugi::xml_node op = NamedChild(binding, u"operation", operation);
    if (!op) {
        return result;
    }
    result.soapAction =
        QString::fromUtf8(SoapChild(op, u"operation").attribute("soapAction").value());
    for (pugi::xml_node input : op.children()) {
        if (HasLocalName(input, u"input")) {
            result.inputNamespace =
                QString::fromUtf8(SoapChild(input, u"body").attribute("namespace").value());
            break;
        }
    }
    return result;
}

std::optional<QString> ServiceDescription::LookupAddress(const QString& service,
                                                         const QString& port) {
    const PortMatch match = FindPort(service, port);
    if (!match.document) {
        return std::nullopt;
    }
    const pugi::xml_attribute location = SoapChild(match.port, u"address").attribute("location");
    if (!location || *location.value() == '\0') {
        return std::nullopt;
    }
    return QString::fromUtf8(location.value());
}

}  // namespace sarn
