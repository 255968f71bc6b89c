// The music's costs: the mixing thread's work per second of audio (the shipped loop, resampled
// from 22,050 Hz to the device's 44,100 Hz stereo, in the device's 1,024-frame callbacks), and
// what starting the music adds to start-up (module written out, loaded and resolved, the
// output opened on SDL's dummy driver, the WAV read and loaded, playback started).

#include "app/music.h"
#include "core/media_archive.h"
#include "platform/audio/sample_mixer.h"
#include "platform/audio/wav_reader.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

namespace {

void BM_MixOneSecondOfMusic(benchmark::State& state) {
    MountArchive();
    std::vector<std::uint8_t> bytes;
    audio::WavSound sound;
    if (!ReadFile(String(kMediaFolder) + "/frostvale.wav", bytes) || !audio::ReadWav(bytes.data(), bytes.size(), sound)) {
        state.SkipWithError("no music in the media");
        return;
    }
    audio::SampleMixer mixer(44100);
    mixer.SetVolume(75);
    mixer.Play(mixer.NewChannel(mixer.AddSample(sound, true, 20), true), true);
    std::vector<std::int16_t> buffer(2 * 1024);
    for (auto _ : state) {
        for (int done = 0; done < 44100; done += 1024) mixer.Mix(buffer.data(), 1024);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_MixOneSecondOfMusic)->Unit(benchmark::kMicrosecond);

void BM_MusicStart(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    MountArchive();
    Music music;
    for (auto _ : state) {
        music.Start(nullptr, 75);
        state.PauseTiming();
        if (!music.Loaded()) state.SkipWithError("the music did not start");
        music.Stop();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MusicStart)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
