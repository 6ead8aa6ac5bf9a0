#include "devservice/DesCipher.h"

#include "devservice/Text.h"

#include <openssl/evp.h>

#include <memory>

namespace sarndev {

namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

std::string Run(const std::string& key, const std::string& iv, std::string_view in, bool encrypt) {
    CipherContext ctx(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!ctx || EVP_CipherInit_ex(ctx.get(), EVP_des_ede3_cbc(), nullptr,
                                  reinterpret_cast<const unsigned char*>(key.data()),
                                  reinterpret_cast<const unsigned char*>(iv.data()),
                                  encrypt ? 1 : 0) != 1) {
        throw CipherError("the cipher is not available");
    }
    std::string out(in.size() + 16, '\0');
    int n1 = 0;
    int n2 = 0;
    auto* dst = reinterpret_cast<unsigned char*>(out.data());
    if (EVP_CipherUpdate(ctx.get(), dst, &n1, reinterpret_cast<const unsigned char*>(in.data()),
                         static_cast<int>(in.size())) != 1 ||
        EVP_CipherFinal_ex(ctx.get(), dst + n1, &n2) != 1) {
        throw CipherError("Bad Data.");
    }
    out.resize(static_cast<size_t>(n1 + n2));
    return out;
}

}  // namespace

DesCipher DesCipher::ServiceKey() {
    return DesCipher("SarnZODevEduriza3.0.1Key", "\x12\x34\x56\x78\x90\xAB\xCD\xEF");
}

DesCipher DesCipher::FromCustomKey(std::string_view key) {
    if (key.size() != 8) {
        throw CipherError("Specified key is not a valid size for this algorithm.");
    }
    std::string k(key);
    return DesCipher(k + k + k, k);
}

std::string DesCipher::Encrypt(std::string_view plainUtf8) const {
    return Base64Encode(Run(key_, iv_, plainUtf8, true));
}

std::string DesCipher::Decrypt(std::string_view base64) const {
    auto bytes = Base64Decode(base64);
    if (!bytes || bytes->empty() || bytes->size() % 8 != 0) {
        throw CipherError("Invalid length for a Base-64 char array or string.");
    }
    std::string plain = Run(key_, iv_, *bytes, false);
    if (!IsValidUtf8(plain)) {
        throw CipherError("Bad Data.");
    }
    return plain;
}

}  // namespace sarndev
