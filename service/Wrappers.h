#pragma once

#include "service/SarnSoap.h"

#include <QString>

namespace sarn {

// The client object the wrappers call through: Utilities.HTTPRIO1, set while TUtilities lives.
// Main thread only.
void SetServiceClient(SarnSoapProvider* client);
SarnSoapProvider* ServiceClient();

// One wrapper per called operation. None ever raises: every failure (no client, binding,
// transport, message, fault) ends in 0 or the empty text.
void SvcAddLogin(qint32 customerID, const QString& ip);
void SvcAddLogOut(qint32 customerID, const QString& ip);
QString SvcGetNewVersionNumber();
QString SvcEncryptDES(const QString& text);
QString SvcDecryptDES(const QString& text);
QString SvcGetRemoteIP();
QString SvcGetNewURL();
QString SvcGetNews();
qint32 SvcLogin(const QString& loginName, const QString& password);
qint32 SvcRegister(const QString& loginName, const QString& password, const QString& mobile,
                   const QString& email, const QString& provinces, const QString& city);
QString SvcGetCustomerProduct(qint32 customerID);

}  // namespace sarn
