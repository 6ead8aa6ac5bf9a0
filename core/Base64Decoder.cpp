#include "core/Base64Decoder.h"

#include "core/Helpers.h"

#include <QIODevice>

#include <array>

namespace sarn {

namespace {

constexpr int kFill = -2;
constexpr int kInvalid = -1;

constexpr std::array<int, 256> MakeTable() {
    std::array<int, 256> table{};
    for (int& entry : table) {
        entry = kInvalid;
    }
    for (int i = 0; i < 26; ++i) {
        table['A' + i] = i;
        table['a' + i] = 26 + i;
    }
    for (int i = 0; i < 10; ++i) {
        table['0' + i] = 52 + i;
    }
    table['+'] = 62;
    table['/'] = 63;
    table['='] = kFill;
    return table;
}

constexpr std::array<int, 256> kTable = MakeTable();

int Sextet(char c) {
    const int value = kTable[static_cast<unsigned char>(c)];
    if (value == kInvalid) {
        throw DecodeError(QStringLiteral("Invalid character in Base64 text."));
    }
    return value;
}

// Decodes text[from, to) (a multiple of four) into out; returns the bytes written.
qsizetype DecodeGroups(const char* text, qsizetype from, qsizetype to, char* out) {
    char* const start = out;
    for (qsizetype i = from; i < to; i += 4) {
        const int a = Sextet(text[i]);
        const int b = Sextet(text[i + 1]);
        const int c = Sextet(text[i + 2]);
        const int d = Sextet(text[i + 3]);
        if (a == kFill || b == kFill) {
            throw DecodeError(QStringLiteral("Invalid character in Base64 text."));
        }
        *out++ = static_cast<char>((a << 2) | (b >> 4));
        if (c == kFill) {  // "xx==" (or "xx=x"): one byte
            continue;
        }
        *out++ = static_cast<char>(((b & 0x0F) << 4) | (c >> 2));
        if (d == kFill) {
            continue;
        }
        *out++ = static_cast<char>(((c & 0x03) << 6) | d);
    }
    return out - start;
}

}  // namespace

QByteArray Base64Decoder::Decode(const QByteArray& text) const {
    if (text.size() % 4 != 0) {
        throw DecodeError();
    }
    QByteArray bytes(text.size() / 4 * 3, Qt::Uninitialized);
    bytes.truncate(DecodeGroups(text.constData(), 0, text.size(), bytes.data()));
    return bytes;
}

void Base64Decoder::DecodeToDevice(const QByteArray& text, QIODevice& out) const {
    if (text.size() % 4 != 0) {
        throw DecodeError();
    }
    constexpr qsizetype kChunk = 64 * 1024;  // text characters per piece, a multiple of four
    QByteArray piece(kChunk / 4 * 3, Qt::Uninitialized);
    for (qsizetype at = 0; at < text.size(); at += kChunk) {
        const qsizetype to = std::min(text.size(), at + kChunk);
        const qsizetype length = DecodeGroups(text.constData(), at, to, piece.data());
        if (out.write(piece.constData(), length) != length) {
            throw SarnError(out.errorString());
        }
    }
}

}  // namespace sarn
