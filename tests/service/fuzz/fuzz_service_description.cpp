// Feeds arbitrary bytes to the description loader and its lookups; the same bytes also stand
// for every imported document.
#include "platform/Error.h"
#include "service/ServiceDescription.h"

#include <cstddef>
#include <cstdint>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        sarn::ServiceDescription description(QStringLiteral("http://h/d?wsdl"),
                                             std::make_unique<sarn::WsdlDocument>(bytes),
                                             [&bytes](const QString&) { return bytes; });
        description.LookupOperation(QStringLiteral("sarn"), QStringLiteral("sarnSoap"),
                                    QStringLiteral("Login"));
        description.LookupAddress(QStringLiteral("sarn"), QStringLiteral("sarnSoap"));
    } catch (const sarn::SarnError&) {
    }
    return 0;
}
