#include "service/Contract.h"

#include <array>

namespace sarn {

namespace {

using P = SoapParameter;
constexpr SoapType kInt = SoapType::Integer;
constexpr SoapType kText = SoapType::WideString;
constexpr SoapType kNone = SoapType::None;

constexpr std::array<P, 2> kLoginReport{{{u"customerID", kInt}, {u"ip", kText}}};
constexpr std::array<P, 1> kEncrypt{{{u"encryptString", kText}}};
constexpr std::array<P, 2> kCustomKey{{{u"decryptKey", kText}, {u"encryptString", kText}}};
constexpr std::array<P, 2> kLogin{{{u"loginName", kText}, {u"password", kText}}};
constexpr std::array<P, 6> kRegister{{{u"loginName", kText},
                                      {u"password", kText},
                                      {u"mobile", kText},
                                      {u"email", kText},
                                      {u"provinces", kText},
                                      {u"city", kText}}};
constexpr std::array<P, 1> kCustomer{{{u"customerID", kInt}}};

const std::array<SoapOperation, 15> kOperations{{
    {u"AddLogin", kLoginReport, kNone},
    {u"AddLogOut", kLoginReport, kNone},
    {u"GetNewVersionNumber", {}, kText},
    {u"GetNewUpdateFile", {}, kText},
    {u"EncryptDES", kEncrypt, kText},
    {u"EncryptDESCustomDecryptKey", kCustomKey, kText},
    {u"DecryptDES", kEncrypt, kText},
    {u"DecryptDESCustomDecryptKey", kCustomKey, kText},
    {u"GetRemoteIP", {}, kText},
    {u"GetOldURL", {}, kText},
    {u"GetNewURL", {}, kText},
    {u"GetNews", {}, kText},
    {u"Login", kLogin, kInt},
    {u"Register", kRegister, kInt},
    {u"GetCustomerProduct", kCustomer, kText},
}};

}  // namespace

std::span<const SoapOperation> SarnSoapOperations() {
    return kOperations;
}

const SoapOperation* FindSarnSoapOperation(const QString& name) {
    for (const SoapOperation& operation : kOperations) {
        if (name == QStringView(operation.name)) {
            return &operation;
        }
    }
    return nullptr;
}

}  // namespace sarn
