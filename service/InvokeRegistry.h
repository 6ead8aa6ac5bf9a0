#pragma once

#include <QString>

#include <optional>

namespace sarn {

// The process-wide registry of remotely callable interfaces. Written once at program start,
// read by every SoapClient on any thread; each access takes the registry's own lock.
struct InterfaceRegistration {
    QString name;         // "sarnSoap"
    QString interfaceId;  // {3B9E9B47-4E11-FDCD-2D8D-826A63432C94}
    QString serviceNamespace;
    QString descriptionEncoding;  // "utf-8"
    QString defaultSoapAction;    // namespace + "/%operationName%"
    bool documentStyle = false;
    bool literalStyle = false;

    // The default SOAPAction with the first "%operationName%" replaced by the operation.
    QString DefaultSoapActionFor(const QString& operation) const;
};

class InvokeRegistry {
  public:
    static void Register(const InterfaceRegistration& registration);
    static std::optional<InterfaceRegistration> Lookup(const QString& name);
};

// Registers sarnSoap for the given namespace: encoding "utf-8", the default SOAPAction
// namespace + "/%operationName%", document style. Called once at program start.
void RegisterSarnSoap(const QString& serviceNamespace);

}  // namespace sarn
