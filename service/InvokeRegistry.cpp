#include "service/InvokeRegistry.h"

#include <QHash>

#include <mutex>

namespace sarn {

namespace {

struct Registry {
    std::mutex lock;
    QHash<QString, InterfaceRegistration> entries;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

QString InterfaceRegistration::DefaultSoapActionFor(const QString& operation) const {
    static const QString placeholder = QStringLiteral("%operationName%");
    QString action = defaultSoapAction;
    const qsizetype at = action.indexOf(placeholder);
    if (at >= 0) {
        action.replace(at, placeholder.size(), operation);
    }
    return action;
}

void InvokeRegistry::Register(const InterfaceRegistration& registration) {
    Registry& registry = TheRegistry();
    const std::lock_guard guard(registry.lock);
    registry.entries.insert(registration.name, registration);
}

std::optional<InterfaceRegistration> InvokeRegistry::Lookup(const QString& name) {
    Registry& registry = TheRegistry();
    const std::lock_guard guard(registry.lock);
    const auto found = registry.entries.constFind(name);
    if (found == registry.entries.constEnd()) {
        return std::nullopt;
    }
    return *found;
}

void RegisterSarnSoap(const QString& serviceNamespace) {
    InterfaceRegistration registration;
    registration.name = QStringLiteral("sarnSoap");
    registration.interfaceId = QStringLiteral("{3B9E9B47-4E11-FDCD-2D8D-826A63432C94}");
    registration.serviceNamespace = serviceNamespace;
    registration.descriptionEncoding = QStringLiteral("utf-8");
    registration.defaultSoapAction = serviceNamespace + QStringLiteral("/%operationName%");
    registration.documentStyle = true;
    InvokeRegistry::Register(registration);
}

}  // namespace sarn
