#include "devservice/SarnService.h"

#include "devservice/DesCipher.h"
#include "devservice/Store.h"
#include "devservice/Text.h"

#include <string_view>

namespace sarndev {

const char* const kDefaultNotice =
    "欢迎使用Sarn资讯终端！\r\n今日资讯已经更新，请在门户中查看。\r\n祝您使用愉快。";

namespace {

std::string Cipher(const DesCipher& cipher, const std::string& text, bool encrypt) {
    try {
        return encrypt ? cipher.Encrypt(text) : cipher.Decrypt(text);
    } catch (const CipherError& e) {
        throw SoapFault(true,
                        std::string("Server was unable to process request. ---> ") + e.what());
    }
}

DesCipher CustomCipher(const std::string& key) {
    try {
        return DesCipher::FromCustomKey(key);
    } catch (const CipherError& e) {
        throw SoapFault(true,
                        std::string("Server was unable to process request. ---> ") + e.what());
    }
}

}  // namespace

std::string SarnService::Call(const SoapRequest& request, const CallContext& context) {
    const std::string_view op = request.operation->name;
    const auto& a = request.arguments;
    if (op == "AddLogin" || op == "AddLogOut") {
        store_.RecordEvent({op == "AddLogin" ? "login" : "logout", ParseInt(a[0], "customerID"),
                            a[1], context.remoteAddr, NowText()});
        return {};
    }
    if (op == "GetNewVersionNumber") {
        return store_.Published().version;
    }
    if (op == "EncryptDES") {
        return Cipher(DesCipher::ServiceKey(), a[0], true);
    }
    if (op == "DecryptDES") {
        return Cipher(DesCipher::ServiceKey(), a[0], false);
    }
    if (op == "EncryptDESCustomDecryptKey") {
        return Cipher(CustomCipher(a[0]), a[1], true);
    }
    if (op == "DecryptDESCustomDecryptKey") {
        return Cipher(CustomCipher(a[0]), a[1], false);
    }
    if (op == "GetRemoteIP") {
        return context.remoteAddr;
    }
    if (op == "GetNewURL") {
        return "http://" + context.host + "/portal/index.html";
    }
    if (op == "GetOldURL") {
        return "http://" + context.host + "/portal/classic.html";
    }
    if (op == "GetNews") {
        std::string notice = store_.Notice().value_or(kDefaultNotice);
        return Base64Encode(Utf8ToGbk(ToCrLf(notice)));
    }
    if (op == "Login") {
        return std::to_string(store_.Login(a[0], a[1]));
    }
    if (op == "Register") {
        if (a[0].empty()) {
            throw SoapFault(true, "Server was unable to process request. ---> loginName is empty.");
        }
        return std::to_string(store_.Register({0, a[0], a[1], a[2], a[3], a[4], a[5], {}}));
    }
    if (op == "GetCustomerProduct") {
        auto account = store_.FindAccount(ParseInt(a[0], "customerID"));
        return account ? "Sarn资讯终端 专业版 - " + account->loginName : std::string();
    }
    throw SoapFault(false, "Server was unable to process request. ---> " + std::string(op) +
                               " is not served here.");
}

}  // namespace sarndev
