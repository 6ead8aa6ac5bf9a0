#pragma once

#include <QByteArray>

namespace sarn {

// Plays a wave file's bytes and returns when the sound has finished. Tests replace it.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    virtual void PlaySync(const QByteArray& waveFile) = 0;
};

// Through the sound server (libpulse-simple). Without a reachable server, or for a file it
// cannot read, it returns at once and silently; it never starts a server of its own.
class PulseSoundPlayer : public SoundPlayer {
  public:
    void PlaySync(const QByteArray& waveFile) override;
};

}  // namespace sarn
