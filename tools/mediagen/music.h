#pragma once
// "frostvale.wav": the background music, a quiet music-box arrangement of the carol "Silent
// Night" (Franz Gruber, 1818) in 6/8, synthesised here: struck-tine tones, a broken-chord
// accompaniment and a soft reverb. It is one seamless loop: note tails and the reverb tail
// are wrapped round the loop point, so the last sample runs straight into the first.
// Mono, 22,050 Hz, 16-bit PCM.

#include <cstdint>
#include <string>
#include <vector>

constexpr int kMusicRate = 22050;
constexpr int kMusicBars = 24;
constexpr int kEighthsPerBar = 6;
constexpr int kSamplesPerEighth = kMusicRate / 3;  // an eighth lasts a third of a second
constexpr int kMusicLoopSamples = kMusicBars * kEighthsPerBar * kSamplesPerEighth;  // 48 s

struct ScoreNote {
    int start;       // in eighths from the loop start
    int key;         // MIDI key number
    float velocity;  // 0 … 1
    bool melody;     // false: accompaniment
};

// Melody and accompaniment, ordered by start.
std::vector<ScoreNote> MusicScore();

// The finished loop as 16-bit samples (kMusicLoopSamples of them).
std::vector<std::int16_t> RenderMusicLoop();

// A canonical 44-byte-header PCM WAV file of mono 16-bit samples.
std::vector<unsigned char> WavFile(const std::vector<std::int16_t>& samples, int rate);

bool WriteMusic(const std::string& mediaDir);
