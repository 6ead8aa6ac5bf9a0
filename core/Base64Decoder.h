#pragma once

#include <QByteArray>

class QIODevice;

namespace sarn {

// The one Base64 decoder of the program (IdDecoderMIME1): standard alphabet, "=" fill, no state
// between calls. Both functions throw DecodeError for a text whose length is not a multiple of
// four; every character counts towards that length.
class Base64Decoder {
  public:
    QByteArray Decode(const QByteArray& text) const;

    // Decodes into a device piece by piece, so a large image never needs a second full copy.
    // Throws DecodeError before anything is written when the length is uneven, and SarnError
    // when the device refuses a write.
    void DecodeToDevice(const QByteArray& text, QIODevice& out) const;
};

}  // namespace sarn
