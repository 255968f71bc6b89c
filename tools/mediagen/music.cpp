#include "tools/mediagen/music.h"

#include "tools/mediagen/image.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Melody notes as (key, length in eighths); the key is in the octave of middle C and is
// raised an octave into the music box's register.
struct MelodyNote {
    int key, length;
};
constexpr int C = 60, D = 62, E = 64, F = 65, G = 67, A = 69, B = 71, C2 = 72, D2 = 74, E2 = 76, F2 = 77;
constexpr int kRest = 0;

const MelodyNote kMelody[] = {
    {G, 3}, {A, 1}, {G, 2}, {E, 6},                  // Silent night,
    {G, 3}, {A, 1}, {G, 2}, {E, 6},                  // holy night,
    {D2, 4}, {D2, 2}, {B, 6},                        // all is calm,
    {C2, 4}, {C2, 2}, {G, 6},                        // all is bright,
    {A, 4}, {A, 2}, {C2, 3}, {B, 1}, {A, 2},         // round yon virgin
    {G, 3}, {A, 1}, {G, 2}, {E, 6},                  // mother and child,
    {A, 4}, {A, 2}, {C2, 3}, {B, 1}, {A, 2},         // holy infant so
    {G, 3}, {A, 1}, {G, 2}, {E, 6},                  // tender and mild,
    {D2, 4}, {D2, 2}, {F2, 3}, {D2, 1}, {B, 2},      // sleep in heavenly
    {C2, 6}, {E2, 6},                                // peace,
    {C2, 3}, {G, 1}, {E, 2}, {G, 3}, {F, 1}, {D, 2}, // sleep in heavenly
    {C, 6}, {kRest, 6},                              // peace.
};

// Chord of each bar: root, a middle tone (the fifth, or the seventh of G7) and the third,
// played an octave up.
struct Chord {
    int root, middle, third;
};
constexpr Chord kC{60, 67, 64}, kF{53, 60, 57}, kG{55, 62, 59}, kG7{55, 65, 59};
const Chord kBars[kMusicBars] = {kC, kC, kC, kC, kG7, kG, kC, kC, kF, kF, kC, kC,
                                 kF, kF, kC, kC, kG7, kG7, kC, kC, kC, kG7, kC, kC};

// One struck tine: a few partials, the higher ones inharmonic and quicker to die away.
struct Partial {
    double ratio, amplitude, decay;  // decay: seconds to fall by e at 440 Hz
};
const Partial kPartials[] = {
    {1.0, 1.0, 1.5}, {2.0, 0.22, 0.8}, {3.0, 0.05, 0.45}, {4.16, 0.07, 0.25}, {6.27, 0.09, 0.08},
};
constexpr double kNoteSeconds = 4.0;
constexpr double kAttackSeconds = 0.004;
constexpr double kReleaseSeconds = 0.6;

// Adds one note into the loop buffer, wrapping round its end.
void AddNote(std::vector<double>& loop, const ScoreNote& note) {
    const double frequency = 440.0 * std::pow(2.0, (note.key - 69) / 12.0);
    const int length = static_cast<int>(kNoteSeconds * kMusicRate);
    const int attack = static_cast<int>(kAttackSeconds * kMusicRate);
    const int release = static_cast<int>(kReleaseSeconds * kMusicRate);
    const size_t size = loop.size();
    const size_t start = static_cast<size_t>(note.start) * kSamplesPerEighth;
    const double brightness = std::pow(440.0 / frequency, 0.35);
    for (const Partial& partial : kPartials) {
        const double f = frequency * partial.ratio;
        if (f > 0.45 * kMusicRate) continue;
        const double step = 2.0 * kPi * f / kMusicRate;
        const double stepCos = std::cos(step), stepSin = std::sin(step);
        const double fall = std::exp(-1.0 / (partial.decay * brightness * kMusicRate));
        double re = 1.0, im = 0.0, envelope = partial.amplitude * note.velocity;
        for (int i = 0; i < length; ++i) {
            double shape = 1.0;
            if (i < attack) shape = static_cast<double>(i) / attack;
            if (i > length - release) shape = 0.5 + 0.5 * std::cos(kPi * (i - (length - release)) / release);
            loop[(start + i) % size] += im * envelope * shape;
            const double nre = re * stepCos - im * stepSin;
            im = re * stepSin + im * stepCos;
            re = nre;
            envelope *= fall;
            if ((i & 1023) == 0) {  // keep the rotation on the unit circle
                const double norm = 1.0 / std::sqrt(re * re + im * im);
                re *= norm;
                im *= norm;
            }
        }
    }
}

// A small Schroeder reverb (parallel damped combs, then allpasses), run twice round the loop
// so that its state at the loop start already holds the tail of the loop's end.
std::vector<double> Reverb(const std::vector<double>& dry) {
    struct Comb {
        std::vector<double> line;
        size_t at = 0;
        double low = 0;
    };
    struct Allpass {
        std::vector<double> line;
        size_t at = 0;
    };
    const int combLengths[] = {557, 593, 641, 677, 709, 743, 779, 809};
    const int allpassLengths[] = {277, 219, 173, 113};
    const double feedback = 0.9, damping = 0.35, allpassGain = 0.5, wet = 0.16, dryLevel = 0.85;
    std::vector<Comb> combs;
    for (int length : combLengths) combs.push_back({std::vector<double>(length, 0.0)});
    std::vector<Allpass> allpasses;
    for (int length : allpassLengths) allpasses.push_back({std::vector<double>(length, 0.0)});
    const size_t size = dry.size();
    std::vector<double> out(size);
    for (size_t n = 0; n < 2 * size; ++n) {
        const double input = dry[n % size];
        double sum = 0;
        for (Comb& comb : combs) {
            const double delayed = comb.line[comb.at];
            comb.low = delayed * (1 - damping) + comb.low * damping;
            comb.line[comb.at] = input + comb.low * feedback;
            comb.at = (comb.at + 1) % comb.line.size();
            sum += delayed;
        }
        for (Allpass& pass : allpasses) {
            const double delayed = pass.line[pass.at];
            pass.line[pass.at] = sum + delayed * allpassGain;
            sum = delayed - sum * allpassGain;
            pass.at = (pass.at + 1) % pass.line.size();
        }
        if (n >= size) out[n - size] = input * dryLevel + sum * wet;
    }
    return out;
}

void PutLittle(std::vector<unsigned char>& out, unsigned value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>((value >> (8 * i)) & 0xFF));
}

void PutTag(std::vector<unsigned char>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(tag[i]));
}

}  // namespace

std::vector<ScoreNote> MusicScore() {
    std::vector<ScoreNote> score;
    int at = 0;
    for (const MelodyNote& note : kMelody) {
        if (note.key != kRest) {
            // Stressed on the bar's first eighth, a touch softer elsewhere.
            const float velocity = at % kEighthsPerBar == 0 ? 0.9f : 0.75f;
            score.push_back({at, note.key + 12, velocity, true});
        }
        at += note.length;
    }
    // A broken chord on every eighth: root, middle, third, middle, third, middle.
    const float weights[kEighthsPerBar] = {0.32f, 0.15f, 0.18f, 0.2f, 0.15f, 0.14f};
    for (int bar = 0; bar < kMusicBars; ++bar) {
        const Chord& chord = kBars[bar];
        const int keys[kEighthsPerBar] = {chord.root,       chord.middle, chord.third + 12,
                                          chord.middle, chord.third + 12, chord.middle};
        for (int i = 0; i < kEighthsPerBar; ++i) score.push_back({bar * kEighthsPerBar + i, keys[i], weights[i], false});
    }
    std::stable_sort(score.begin(), score.end(), [](const ScoreNote& a, const ScoreNote& b) { return a.start < b.start; });
    return score;
}

std::vector<std::int16_t> RenderMusicLoop() {
    std::vector<double> loop(kMusicLoopSamples, 0.0);
    for (const ScoreNote& note : MusicScore()) AddNote(loop, note);
    const std::vector<double> mixed = Reverb(loop);
    double peak = 1e-9;
    for (double s : mixed) peak = std::max(peak, std::fabs(s));
    const double gain = 0.45 * 32767.0 / peak;  // quiet: the loudest moment is about -7 dB
    std::vector<std::int16_t> samples(mixed.size());
    for (size_t i = 0; i < mixed.size(); ++i)
        samples[i] = static_cast<std::int16_t>(std::lround(std::clamp(mixed[i] * gain, -32767.0, 32767.0)));
    return samples;
}

std::vector<unsigned char> WavFile(const std::vector<std::int16_t>& samples, int rate) {
    const unsigned dataBytes = static_cast<unsigned>(samples.size() * 2);
    std::vector<unsigned char> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutLittle(out, 36 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLittle(out, 16, 4);
    PutLittle(out, 1, 2);  // PCM
    PutLittle(out, 1, 2);  // mono
    PutLittle(out, static_cast<unsigned>(rate), 4);
    PutLittle(out, static_cast<unsigned>(rate) * 2, 4);
    PutLittle(out, 2, 2);
    PutLittle(out, 16, 2);
    PutTag(out, "data");
    PutLittle(out, dataBytes, 4);
    for (std::int16_t s : samples) PutLittle(out, static_cast<std::uint16_t>(s), 2);
    return out;
}

bool WriteMusic(const std::string& mediaDir) {
    return WriteFileBytes(mediaDir + "/frostvale.wav", WavFile(RenderMusicLoop(), kMusicRate));
}
