#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace sarndev {

// Raised for a key of the wrong size and for a text that is not something this cipher made.
class CipherError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Triple DES in CBC mode with PKCS#7 padding over the UTF-8 bytes of a text; the cipher text
// travels as Base64. The service's own key is fixed, so what one run encrypts (the client keeps
// it in its settings file) decrypts in every later run.
class DesCipher {
  public:
    // The service's fixed key and IV.
    static DesCipher ServiceKey();
    // A caller's key: its UTF-8 text must be exactly 8 bytes; it serves as key and IV, as with
    // single DES (a triple DES key of three equal halves is single DES).
    static DesCipher FromCustomKey(std::string_view key);

    std::string Encrypt(std::string_view plainUtf8) const;
    std::string Decrypt(std::string_view base64) const;

  private:
    DesCipher(std::string key24, std::string iv8) : key_(std::move(key24)), iv_(std::move(iv8)) {}
    std::string key_;
    std::string iv_;
};

}  // namespace sarndev
