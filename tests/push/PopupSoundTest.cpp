#include "platform/sound/SoundPlayer.h"
#include "platform/sound/WaveFile.h"

#include <QFile>

#include <gtest/gtest.h>

namespace sarn {
namespace {

TEST(PopupSound, IsTheEmbeddedShortMonoChime) {
    QFile file(QStringLiteral(":/push/popupSound.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const WaveSound sound = ParseWave(file.readAll());
    EXPECT_EQ(sound.channels, 1);
    EXPECT_EQ(sound.sampleRate, 32000);
    EXPECT_EQ(sound.bitsPerSample, 16);
    EXPECT_EQ(sound.samples.size(), 51252);  // 25626 samples, 0.8 s
}

TEST(PopupSound, RefusesWhatIsNotPcmWave) {
    QByteArray truncated("RIFF\x30\0\0\0WAVEfmt \x10\0\0\0", 20);
    for (const QByteArray& file : {QByteArray(), QByteArray("not a wave at all"), truncated}) {
        EXPECT_THROW(ParseWave(file), WaveFormatError);
    }
}

// Without a sound server (as in CI) this must come back at once; with one it plays the chime.
// Either way nothing is raised, whatever the bytes.
TEST(PopupSound, PlayingNeverFails) {
    QFile file(QStringLiteral(":/push/popupSound.wav"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    PulseSoundPlayer player;
    EXPECT_NO_THROW(player.PlaySync(file.readAll()));
    EXPECT_NO_THROW(player.PlaySync(QByteArray("garbage")));
}

}  // namespace
}  // namespace sarn
