#include "platform/sound/WaveFile.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace sarn {

namespace {

std::uint32_t Le32(const QByteArray& bytes, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    }
    return value;
}

std::uint16_t Le16(const QByteArray& bytes, qsizetype at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                      (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

[[noreturn]] void Refuse(const char* why) {
    throw WaveFormatError(QString::fromLatin1(why));
}

}  // namespace

WaveSound ParseWave(const QByteArray& file) {
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        Refuse("Not a wave file");
    }
    std::optional<WaveSound> format;
    std::optional<QByteArray> samples;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = Le32(file, at + 4);
        const qsizetype body = at + 8;
        if (size > file.size() - body) {
            Refuse("Wave chunk runs past the end of the file");
        }
        if (id == "fmt ") {
            if (size < 16 || Le16(file, body) != 1) {
                Refuse("Wave is not integer PCM");
            }
            WaveSound sound;
            sound.channels = Le16(file, body + 2);
            sound.sampleRate = static_cast<int>(Le32(file, body + 4));
            sound.bitsPerSample = Le16(file, body + 14);
            format = sound;
        } else if (id == "data") {
            samples = file.mid(body, size);
        }
        at = body + size + (size & 1);
    }
    if (!format || !samples) {
        Refuse("Wave has no format or no data");
    }
    if (format->channels < 1 || format->sampleRate <= 0 ||
        (format->bitsPerSample != 8 && format->bitsPerSample != 16)) {
        Refuse("Wave format not playable");
    }
    format->samples = *samples;
    return *format;
}

}  // namespace sarn
