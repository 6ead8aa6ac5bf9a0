#pragma once

#include "platform/Error.h"

namespace sarn {

// The errors a SoapClient call can end in. Callers of the service wrappers never see them.

class ServiceFault : public SarnError {
  public:
    ServiceFault(QString faultString, QString faultCode = {}, QString faultActor = {},
                 QString detail = {})
        : SarnError(std::move(faultString))
        , faultCode_(std::move(faultCode))
        , faultActor_(std::move(faultActor))
        , detail_(std::move(detail)) {}

    const QString& FaultCode() const { return faultCode_; }
    const QString& FaultActor() const { return faultActor_; }
    const QString& Detail() const { return detail_; }

  private:
    QString faultCode_;
    QString faultActor_;
    QString detail_;
};

class TransportError : public SarnError {
  public:
    explicit TransportError(QString message, int statusCode = 0)
        : SarnError(std::move(message)), statusCode_(statusCode) {}
    int StatusCode() const { return statusCode_; }

  private:
    int statusCode_;
};

// The reply is not the SOAP message that was expected.
class MessageError : public SarnError {
  public:
    using SarnError::SarnError;
};

// The service description cannot be fetched or parsed.
class DescriptionError : public SarnError {
  public:
    using SarnError::SarnError;
};

}  // namespace sarn
