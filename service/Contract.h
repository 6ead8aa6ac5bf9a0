#pragma once

#include <QString>

#include <span>

namespace sarn {

// The operation table of sarnSoap, in declaration order, with the names that travel in the
// SOAP messages.
enum class SoapType { None, Integer, WideString };

struct SoapParameter {
    const char16_t* name;
    SoapType type;
};

struct SoapOperation {
    const char16_t* name;
    std::span<const SoapParameter> parameters;
    SoapType result;
};

std::span<const SoapOperation> SarnSoapOperations();
const SoapOperation* FindSarnSoapOperation(const QString& name);

}  // namespace sarn
