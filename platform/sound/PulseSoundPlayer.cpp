#include "platform/sound/SoundPlayer.h"
#include "platform/sound/WaveFile.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/simple.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace sarn {

namespace {

constexpr auto kConnectBudget = std::chrono::milliseconds(1500);

// The address of a sound server that answers, or nothing. pa_simple_new alone could start a
// server of its own (autospawn) or sit waiting for one; a context of our own connects without
// autospawn and gives up after a fixed time.
std::optional<std::string> ReachableServer() {
    const std::unique_ptr<pa_mainloop, decltype(&pa_mainloop_free)> loop(pa_mainloop_new(),
                                                                         &pa_mainloop_free);
    if (!loop) {
        return std::nullopt;
    }
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop.get()), "Sarn");
    if (context == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<pa_context, decltype(&pa_context_unref)> owner(context,
                                                                         &pa_context_unref);
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
        return std::nullopt;
    }
    const auto deadline = std::chrono::steady_clock::now() + kConnectBudget;
    std::optional<std::string> server;
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context);
        if (state == PA_CONTEXT_READY) {
            if (const char* name = pa_context_get_server(context)) {
                server = name;
            }
            break;
        }
        if (!PA_CONTEXT_IS_GOOD(state)) {
            break;
        }
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero()) {
            break;
        }
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        if (pa_mainloop_prepare(loop.get(), static_cast<int>(micros)) < 0 ||
            pa_mainloop_poll(loop.get()) < 0 || pa_mainloop_dispatch(loop.get()) < 0) {
            break;
        }
    }
    pa_context_disconnect(context);
    return server;
}

}  // namespace

void PulseSoundPlayer::PlaySync(const QByteArray& waveFile) {
    WaveSound sound;
    try {
        sound = ParseWave(waveFile);
    } catch (const WaveFormatError&) {
        return;
    }
    const std::optional<std::string> server = ReachableServer();
    if (!server) {
        return;
    }
    pa_sample_spec format{};
    format.format = sound.bitsPerSample == 16 ? PA_SAMPLE_S16LE : PA_SAMPLE_U8;
    format.rate = static_cast<std::uint32_t>(sound.sampleRate);
    format.channels = static_cast<std::uint8_t>(sound.channels);
    if (!pa_sample_spec_valid(&format)) {
        return;
    }
    int error = 0;
    pa_simple* stream = pa_simple_new(server->c_str(), "Sarn", PA_STREAM_PLAYBACK, nullptr,
                                      "notification", &format, nullptr, nullptr, &error);
    if (stream == nullptr) {
        return;
    }
    if (pa_simple_write(stream, sound.samples.constData(),
                        static_cast<size_t>(sound.samples.size()), &error) == 0) {
        pa_simple_drain(stream, &error);
    }
    pa_simple_free(stream);
}

}  // namespace sarn
