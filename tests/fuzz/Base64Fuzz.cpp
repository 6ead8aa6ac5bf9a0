// The Base64 decoder on arbitrary text: it either decodes or throws one of our errors, both
// entry points agree byte for byte, a text of uneven length writes nothing to the device, and
// whatever the input, encoding it and decoding gives it back.

#include "core/Base64Decoder.h"
#include "core/Helpers.h"
#include "platform/Error.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace {

void Check(bool condition) {
    if (!condition) {
        abort();
    }
}

std::optional<QByteArray> Whole(const sarn::Base64Decoder& decoder, const QByteArray& text) {
    try {
        return decoder.Decode(text);
    } catch (const sarn::SarnError&) {
        return std::nullopt;
    }
}

std::optional<QByteArray> Streamed(const sarn::Base64Decoder& decoder, const QByteArray& text) {
    QByteArray sink;
    QBuffer device(&sink);
    device.open(QIODevice::WriteOnly);
    try {
        decoder.DecodeToDevice(text, device);
        return sink;
    } catch (const sarn::DecodeError&) {
        if (text.size() % 4 != 0) {
            Check(sink.isEmpty());
        }
        return std::nullopt;
    } catch (const sarn::SarnError&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const sarn::Base64Decoder decoder;

    const std::optional<QByteArray> whole = Whole(decoder, input);
    const std::optional<QByteArray> streamed = Streamed(decoder, input);
    Check(whole.has_value() == streamed.has_value());
    Check(!whole || *whole == *streamed);
    Check(input.size() % 4 == 0 || !whole);
    if (whole) {
        Check(whole->size() <= input.size() / 4 * 3);
    }

    const QByteArray encoded = input.toBase64();
    Check(Whole(decoder, encoded) == input);
    Check(Streamed(decoder, encoded) == input);
    return 0;
}
