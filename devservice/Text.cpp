#include "devservice/Text.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace sarndev {

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error(std::string("iconv lacks ") + from + " to " + to);
        }
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; at an unconvertible or invalid sequence, writes `replacement` and
    // skips `skip(rest)` bytes.
    template <typename Skip>
    std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
        std::string out;
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char buffer[4096];
        while (left > 0) {
            char* dst = buffer;
            size_t room = sizeof buffer;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) {
                    continue;
                }
                out.append(replacement);
                size_t n = std::min(left, skip(std::string_view(src, left)));
                src += n;
                left -= n;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

  private:
    iconv_t cd_;
};

size_t Utf8SequenceLength(std::string_view s) {
    auto c = static_cast<unsigned char>(s[0]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) {
        ++i;
    }
    return i;
}

size_t GbkSequenceLength(std::string_view s) {
    auto c = static_cast<unsigned char>(s[0]);
    return (c >= 0x81 && c <= 0xFE && s.size() >= 2) ? 2 : 1;
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

std::string Utf8ToGbk(std::string_view utf8) {
    Converter c("GBK", "UTF-8");
    return c.Run(utf8, "?", Utf8SequenceLength);
}

std::string GbkToUtf8(std::string_view gbk) {
    Converter c("UTF-8", "GBK");
    return c.Run(gbk, "\xEF\xBF\xBD", GbkSequenceLength);
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
    Converter c("UTF-8", "UTF-8");
    bool ok = true;
    c.Run(s, "", [&](std::string_view) {
        ok = false;
        return size_t{1};
    });
    return ok;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
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
