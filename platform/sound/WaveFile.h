#pragma once

#include "platform/Error.h"

#include <QByteArray>

namespace sarn {

class WaveFormatError : public SarnError {
  public:
    using SarnError::SarnError;
};

// An uncompressed PCM wave: its format and its sample bytes.
struct WaveSound {
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    QByteArray samples;
};

// Reads a RIFF/WAVE file of integer PCM. Throws WaveFormatError for anything else.
WaveSound ParseWave(const QByteArray& file);

}  // namespace sarn
