#include "devservice/Text.h"

#include "platform/CodePage.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace sarndev {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `s`, or 0 when none starts there.
// Well-formed as the service has always read it: no overlong forms and no surrogates, but the
// original 31-bit range with its five- and six-byte forms is accepted, not only RFC 3629's
// range up to U+10FFFF.
size_t WellFormedUtf8Length(std::string_view s) {
    const auto lead = static_cast<unsigned char>(s[0]);
    const size_t length = lead < 0x80   ? 1
                          : lead < 0xC0 ? 0
                          : lead < 0xE0 ? 2
                          : lead < 0xF0 ? 3
                          : lead < 0xF8 ? 4
                          : lead < 0xFC ? 5
                          : lead < 0xFE ? 6
                                        : 0;
    if (length <= 1 || length > s.size()) {
        return length <= 1 ? length : 0;
    }
    uint32_t value = lead & (0x7Fu >> length);
    for (size_t i = 1; i < length; ++i) {
        const auto trail = static_cast<unsigned char>(s[i]);
        if ((trail & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (trail & 0x3Fu);
    }
    // The smallest value that needs each length; anything below it has a shorter form.
    constexpr uint32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return value < kShortest[length] || surrogate ? 0 : length;
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}  // namespace

// Through the client's own conversion, so that both sides turn the same text into the same
// bytes (the password digest is taken over them).
std::string Utf8ToGbk(std::string_view utf8) {
    const QByteArray gbk =
        sarn::ToAnsi(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return std::string(gbk.constData(), static_cast<size_t>(gbk.size()));
}

std::string GbkToUtf8(std::string_view gbk) {
    const QByteArray utf8 =
        sarn::FromAnsi(QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size()))).toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

std::string Base64Encode(std::string_view bytes) {
    std::string out;
    out.reserve(Base64Length(bytes.size()));
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = static_cast<unsigned char>(bytes[i + 1]);
        auto c = static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[a >> 2];
        out += kAlphabet[((a & 3) << 4) | (b >> 4)];
        out += kAlphabet[((b & 15) << 2) | (c >> 6)];
        out += kAlphabet[c & 63];
    }
    if (size_t rest = bytes.size() - i; rest > 0) {
        auto a = static_cast<unsigned char>(bytes[i]);
        auto b = rest > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        out += kAlphabet[a >> 2];
        out += kAlphabet[((a & 3) << 4) | (b >> 4)];
        out += rest > 1 ? kAlphabet[(b & 15) << 2] : '=';
        out += '=';
    }
    return out;
}

std::optional<std::string> Base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        int v[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            char c = text[i + k];
            if (c == '=' && last && k >= 2) {
                v[k] = 0;
                ++pad;
                continue;
            }
            if (pad > 0 || (v[k] = Base64Value(c)) < 0) {
                return std::nullopt;
            }
        }
        unsigned n = (unsigned(v[0]) << 18) | (unsigned(v[1]) << 12) | (unsigned(v[2]) << 6) |
                     unsigned(v[3]);
        out += static_cast<char>(n >> 16);
        if (pad < 2)
            out += static_cast<char>((n >> 8) & 0xFF);
        if (pad < 1)
            out += static_cast<char>(n & 0xFF);
    }
    return out;
}

bool IsValidUtf8(std::string_view s) {
    while (!s.empty()) {
        const size_t length = WellFormedUtf8Length(s);
        if (length == 0) {
            return false;
        }
        s.remove_prefix(length);
    }
    return true;
}

std::string MarkupEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\r':
                out += "&#xD;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string PercentDecode(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            int hi = HexValue(text[i + 1]);
            int lo = HexValue(text[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string ToCrLf(std::string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace sarndev
