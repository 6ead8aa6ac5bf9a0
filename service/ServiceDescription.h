#pragma once

#include <pugixml.hpp>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace sarn {

// One parsed WSDL 1.1 document. Throws MessageError when the bytes are not acceptable XML.
class WsdlDocument {
  public:
    explicit WsdlDocument(QByteArray bytes);

    WsdlDocument(const WsdlDocument&) = delete;
    WsdlDocument& operator=(const WsdlDocument&) = delete;

    pugi::xml_node Definitions() const { return document_.document_element(); }
    QString TargetNamespace() const;
    QStringList ImportLocations() const;

  private:
    QByteArray buffer_;  // the parsed text lives here
    pugi::xml_document document_;
};

// The description of a SoapClient: the main document, and the documents it imports, read only
// when a lookup finds nothing in the main one. `fetch` reads a location's bytes (or throws).
class ServiceDescription {
  public:
    using Fetch = std::function<QByteArray(const QString& location)>;

    ServiceDescription(QString location, std::unique_ptr<WsdlDocument> main, Fetch fetch);

    // What the binding of `service`/`port` says about `operation`: the soapAction of its SOAP
    // operation, and the namespace of its input's SOAP body (empty when not given).
    struct OperationBinding {
        bool bindingFound = false;
        QString soapAction;
        QString inputNamespace;
    };
    OperationBinding LookupOperation(const QString& service, const QString& port,
                                     const QString& operation);

    // The SOAP address of the port, or nothing.
    std::optional<QString> LookupAddress(const QString& service, const QString& port);

  private:
    struct PortMatch {
        const WsdlDocument* document = nullptr;
        pugi::xml_node port;
    };
    PortMatch FindPort(const QString& service, const QString& port);
    pugi::xml_node FindBinding(const PortMatch& port);
    const std::vector<std::unique_ptr<WsdlDocument>>& Imports();

    QString location_;
    std::unique_ptr<WsdlDocument> main_;
    Fetch fetch_;
    bool importsLoaded_ = false;
    std::vector<std::unique_ptr<WsdlDocument>> imports_;
};

}  // namespace sarn
