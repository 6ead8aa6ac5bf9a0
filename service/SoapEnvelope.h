#pragma once

#include "service/Contract.h"

#include <QByteArray>
#include <QString>

#include <span>
#include <variant>

namespace sarn {

using SoapArgument = std::variant<qint32, QString>;

// The document-style SOAP 1.1 request for `operation`: the envelope with exactly the SOAP-ENV,
// xsd and xsi declarations, no header, and the operation element in `operationNamespace` as
// the default namespace with one plain child per parameter. Returned as UTF-8.
QByteArray BuildSoapRequest(const SoapOperation& operation, const QString& operationNamespace,
                            std::span<const SoapArgument> arguments);

}  // namespace sarn
