#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace sarndev {

// GBK, the code page of the client's byte strings, converted as the client converts it
// (platform/CodePage.h). Characters GBK lacks become "?"; invalid UTF-8 is read as U+FFFD first.
std::string Utf8ToGbk(std::string_view utf8);
// Invalid GBK sequences become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// Standard alphabet with "=" fill, no line breaks.
std::string Base64Encode(std::string_view bytes);
// Strict: whitespace-free, length a multiple of four, only the standard alphabet.
std::optional<std::string> Base64Decode(std::string_view text);
constexpr size_t Base64Length(size_t byteCount) {
    return (byteCount + 2) / 3 * 4;
}

// No overlong forms and no surrogates; the five- and six-byte forms of the original 31-bit range
// count as well-formed.
bool IsValidUtf8(std::string_view text);
// Escapes a text for XML or HTML, in character data and in quoted attribute values alike. A CR
// becomes a character reference so it survives the reader's line-end normalisation.
std::string MarkupEscape(std::string_view text);
// Decodes every well-formed %XX; a "%" that starts no such sequence stays as it is. "+" stays "+".
std::string PercentDecode(std::string_view text);
// Lone LF and lone CR become CR LF, the line break of the client's text boxes.
std::string ToCrLf(std::string_view text);

}  // namespace sarndev
