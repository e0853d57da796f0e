// make_sounds OUTDIR
//
// Synthesizes the game's sound effects and writes them into OUTDIR as WAV files
// (RIFF, PCM 16-bit, mono, 22050 Hz). Everything is computed here from sine partials,
// frequency sweeps and seeded noise, so every run produces byte-identical files.

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <numbers>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

using Samples = std::vector<double>;

int sampleCount(double seconds)
{
    return std::max(1, static_cast<int>(std::lround(seconds * kRate)));
}

// ---------------------------------------------------------------------------
// Synthesis toolkit

// Linear ramps over the first and last moments of a sound (seconds).
Samples fadeEnds(Samples s, double in, double out)
{
    const size_t fadeIn = std::min(s.size() / 2, static_cast<size_t>(in * kRate));
    const size_t fadeOut = std::min(s.size() / 2, static_cast<size_t>(out * kRate));
    for (size_t i = 0; i < fadeIn; ++i)
        s[i] *= static_cast<double>(i) / static_cast<double>(fadeIn);
    for (size_t i = 0; i < fadeOut; ++i)
        s[s.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(fadeOut);
    return s;
}

// Relative strengths of the harmonics 1, 2, 3, ... of a tone.
using Timbre = std::vector<double>;

const Timbre kSine = {1.0};
const Timbre kSoft = {1.0, 0.25, 0.08};                          // blip, thuds
const Timbre kBright = {1.0, 0.5, 0.3, 0.18, 0.1, 0.06};         // fanfare notes
const Timbre kBrass = {1.0, 0.7, 0.5, 0.35, 0.25, 0.16, 0.1, 0.06};
const Timbre kBuzz = {1.0, 0.0, 0.33, 0.0, 0.2, 0.0, 0.14, 0.0, 0.11}; // square-like
const Timbre kEngine = {1.0, 0.8, 0.6, 0.45, 0.3, 0.2, 0.12, 0.08, 0.05};

// A tone whose fundamental follows freqAt(t) (t in seconds from the start). Harmonics
// above 0.45 of the sample rate are left out so a sweep never aliases.
Samples oscillate(double seconds, const std::function<double(double)>& freqAt, const Timbre& timbre,
                  double amplitude = 1.0)
{
    Samples out(sampleCount(seconds));
    double norm = 0;
    for (double a : timbre)
        norm += a;
    double phase = 0; // cycles of the fundamental
    for (size_t i = 0; i < out.size(); ++i) {
        const double f = freqAt(static_cast<double>(i) / kRate);
        double v = 0;
        for (size_t h = 0; h < timbre.size(); ++h) {
            const double n = static_cast<double>(h + 1);
            if (f * n < 0.45 * kRate)
                v += timbre[h] * std::sin(kTwoPi * n * phase);
        }
        out[i] = amplitude * v / norm;
        phase += f / kRate;
        phase -= std::floor(phase);
    }
    return out;
}

Samples tone(double freq, double seconds, const Timbre& timbre = kSine, double amplitude = 1.0)
{
    return oscillate(seconds, [freq](double) { return freq; }, timbre, amplitude);
}

// A glide from f0 to f1, even in pitch (exponential in frequency).
Samples sweep(double f0, double f1, double seconds, const Timbre& timbre = kSine, double amplitude = 1.0)
{
    return oscillate(
        seconds, [=](double t) { return f0 * std::pow(f1 / f0, std::min(1.0, t / seconds)); }, timbre,
        amplitude);
}

// A tone with a slight, slow vibrato, so held notes sound played rather than generated.
Samples heldTone(double freq, double seconds, const Timbre& timbre, double amplitude = 1.0)
{
    return oscillate(
        seconds, [freq](double t) { return freq * (1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t)); }, timbre,
        amplitude);
}

// Inharmonic partials (frequency ratios with their own strengths and decay times) make
// bells and struck metal.
struct Partial {
    double ratio;
    double amplitude;
    double decay; // seconds to fall to 1/e
};

Samples struck(double freq, double seconds, const std::vector<Partial>& partials, double amplitude = 1.0)
{
    Samples out(sampleCount(seconds));
    double norm = 0;
    for (const Partial& p : partials)
        norm += p.amplitude;
    for (const Partial& p : partials) {
        const double f = freq * p.ratio;
        if (f >= 0.45 * kRate)
            continue;
        for (size_t i = 0; i < out.size(); ++i) {
            const double t = static_cast<double>(i) / kRate;
            out[i] += amplitude * p.amplitude / norm * std::exp(-t / p.decay) * std::sin(kTwoPi * f * t);
        }
    }
    // A hair of attack so the strike is crisp without a click, and a release so a cut-off
    // tail does not click either.
    return fadeEnds(std::move(out), 0.002, 0.01);
}

// Deterministic white noise (xorshift32 with a fixed seed), then a one-pole low-pass with
// the given corner frequency; brightness is the only colour a crash needs.
Samples noise(double seconds, std::uint32_t seed, double cutoffHz, double amplitude = 1.0)
{
    Samples out(sampleCount(seconds));
    std::uint32_t state = seed ? seed : 0x9E3779B9u;
    const double alpha = 1.0 - std::exp(-kTwoPi * cutoffHz / kRate);
    double y = 0;
    for (double& s : out) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double white = static_cast<double>(state) / 2147483648.0 - 1.0;
        y += alpha * (white - y);
        s = y;
    }
    // The low-pass takes energy away; bring the result back to the asked level.
    double peak = 0;
    for (double s : out)
        peak = std::max(peak, std::abs(s));
    if (peak > 0)
        for (double& s : out)
            s *= amplitude / peak;
    return out;
}

// Attack, decay to a sustain level, release at the end; times in seconds.
Samples adsr(Samples s, double attack, double decay, double sustain, double release)
{
    const double length = static_cast<double>(s.size()) / kRate;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        double g;
        if (t < attack)
            g = t / attack;
        else if (t < attack + decay)
            g = 1.0 - (1.0 - sustain) * (t - attack) / decay;
        else
            g = sustain;
        const double left = length - t;
        if (left < release)
            g *= left / release;
        s[i] *= g;
    }
    return s;
}

// A sharp attack followed by an exponential decay with time constant tau; whatever is
// left of the tail at the end is faded out rather than cut.
Samples strike(Samples s, double attack, double tau)
{
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        s[i] *= (t < attack ? t / attack : 1.0) * std::exp(-std::max(0.0, t - attack) / tau);
    }
    return fadeEnds(std::move(s), 0.0, 0.01);
}

// Adds src into dst starting at the given time, growing dst as needed.
void mix(Samples& dst, const Samples& src, double at, double gain = 1.0)
{
    const size_t offset = static_cast<size_t>(std::lround(at * kRate));
    if (dst.size() < offset + src.size())
        dst.resize(offset + src.size(), 0.0);
    for (size_t i = 0; i < src.size(); ++i)
        dst[offset + i] += gain * src[i];
}

// Short fades at both ends so the sound never starts or stops with a click, then the
// whole sound is scaled to the given peak (a fraction of full scale).
Samples finish(Samples s, double peak)
{
    s = fadeEnds(std::move(s), 0.004, 0.015);
    double max = 0;
    for (double v : s)
        max = std::max(max, std::abs(v));
    if (max > 0)
        for (double& v : s)
            v *= peak / max;
    return s;
}

// Equal-tempered pitch: semitones from A4 (440 Hz).
double note(int semitonesFromA4)
{
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

constexpr int C4 = -9, E4 = -5, G4 = -2, C5 = 3, E5 = 7, G5 = 10, C6 = 15, E6 = 19;

// ---------------------------------------------------------------------------
// The sounds

// An engine revving up: a rich low tone gliding upwards with a cylinder-like pulsing,
// with a little exhaust hiss.
Samples startSound()
{
    const double length = 0.6;
    Samples engine = oscillate(
        length,
        [length](double t) {
            const double x = t / length;
            return 70.0 + 150.0 * std::sin(0.5 * std::numbers::pi * std::min(1.0, x * 1.3)) - 25.0 * x * x;
        },
        kEngine);
    for (size_t i = 0; i < engine.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        engine[i] *= 0.75 + 0.25 * std::sin(kTwoPi * 28.0 * t);
    }
    Samples s = adsr(engine, 0.04, 0.3, 0.7, 0.2);
    mix(s, adsr(noise(length, 11, 1800.0), 0.05, 0.2, 0.5, 0.25), 0.0, 0.12);
    return finish(s, 0.7);
}

// A short soft blip for an ordinary move.
Samples moveSound()
{
    Samples s = strike(sweep(1250.0, 1050.0, 0.12, kSoft), 0.003, 0.03);
    return finish(s, 0.45);
}

// A light bump: a low thud falling in pitch and a short burst of scraping noise.
Samples lightCrash()
{
    Samples s = strike(sweep(150.0, 55.0, 0.35, kSoft), 0.003, 0.08);
    mix(s, strike(noise(0.2, 23, 2500.0), 0.002, 0.04), 0.0, 0.5);
    return finish(s, 0.8);
}

// A heavier crash: two impacts with a rumbling low tone under a longer noise burst.
Samples heavyCrash()
{
    Samples s = strike(sweep(110.0, 45.0, 0.8, kSoft), 0.004, 0.22);
    mix(s, strike(noise(0.8, 37, 3500.0), 0.002, 0.15), 0.0, 0.8);
    mix(s, strike(noise(0.45, 41, 1500.0), 0.002, 0.1), 0.13, 0.6);
    mix(s, strike(sweep(90.0, 40.0, 0.4, kSoft), 0.004, 0.12), 0.13, 0.6);
    return finish(s, 0.85);
}

// A wreck: a big impact, ringing sheet metal and bits of debris rattling down.
Samples wreckSound()
{
    const double length = 1.45;
    Samples s = strike(noise(length, 53, 5000.0), 0.002, 0.3);
    mix(s, strike(sweep(100.0, 35.0, 0.9, kSoft), 0.004, 0.3), 0.0, 0.9);
    mix(s,
        struck(415.0, length,
               {{1.0, 1.0, 0.5}, {2.37, 0.8, 0.4}, {3.61, 0.6, 0.3}, {5.13, 0.45, 0.25}, {6.98, 0.3, 0.2}}),
        0.01, 0.55);
    const double debris[] = {0.28, 0.43, 0.61, 0.77, 0.95, 1.1};
    for (int i = 0; i < 6; ++i) {
        const double at = debris[i];
        mix(s, strike(noise(0.12, 61 + static_cast<std::uint32_t>(i), 4000.0), 0.001, 0.025), at,
            0.35 * std::exp(-at * 1.2));
        mix(s, struck(900.0 + 230.0 * i, 0.2, {{1.0, 1.0, 0.05}, {2.7, 0.5, 0.03}}), at,
            0.2 * std::exp(-at * 1.2));
    }
    return finish(s, 0.85);
}

// A low buzzer stepping down three notes, the last one sagging.
Samples disqualifiedSound()
{
    Samples s;
    mix(s, adsr(tone(311.0, 0.26, kBuzz), 0.01, 0.05, 0.8, 0.05), 0.0);
    mix(s, adsr(tone(262.0, 0.26, kBuzz), 0.01, 0.05, 0.8, 0.05), 0.3);
    mix(s, adsr(sweep(196.0, 165.0, 0.55, kBuzz), 0.01, 0.1, 0.75, 0.2), 0.6);
    // A buzzer is dense; at the peak of the others it would be much the loudest sound.
    return finish(s, 0.5);
}

// A bright major arpeggio C-E-G-C with the top note held.
Samples finishSound()
{
    Samples s;
    const int notes[] = {C5, E5, G5};
    for (int i = 0; i < 3; ++i)
        mix(s, strike(tone(note(notes[i]), 0.35, kBright), 0.005, 0.15), 0.1 * i);
    mix(s, adsr(heldTone(note(C6), 0.6, kBright), 0.008, 0.15, 0.55, 0.3), 0.3);
    mix(s, adsr(heldTone(note(G5), 0.6, kBright), 0.008, 0.15, 0.55, 0.3), 0.3, 0.5);
    return finish(s, 0.75);
}

// A brass-like fanfare: a pick-up of quick triplet notes, a rising call and a held
// major chord.
Samples recordSound()
{
    Samples s;
    auto blow = [&](int semitone, double at, double length, double gain) {
        mix(s, adsr(heldTone(note(semitone), length, kBrass), 0.02, 0.08, 0.7, 0.05), at, gain);
    };
    blow(G4, 0.0, 0.1, 0.8);
    blow(G4, 0.11, 0.1, 0.8);
    blow(G4, 0.22, 0.1, 0.8);
    blow(C5, 0.33, 0.3, 1.0);
    blow(G4, 0.66, 0.12, 0.8);
    blow(C5, 0.79, 0.12, 0.9);
    const double chordAt = 0.92;
    const double chordLength = 1.05;
    for (int semitone : {C4, E4, G4, C5, E5}) {
        const double gain = semitone == E5 ? 0.9 : 0.45;
        mix(s, adsr(heldTone(note(semitone), chordLength, kBrass), 0.03, 0.2, 0.75, 0.45), chordAt, gain);
    }
    // A cymbal-like shimmer on the chord.
    mix(s, strike(noise(0.9, 71, 7000.0), 0.003, 0.25), chordAt, 0.12);
    return finish(s, 0.75);
}

// A soft two-note bell chime, like a doorbell before the results.
Samples resultsSound()
{
    const std::vector<Partial> bell = {{1.0, 1.0, 0.6}, {2.0, 0.35, 0.35}, {2.76, 0.2, 0.25}, {5.4, 0.08, 0.12}};
    Samples s;
    mix(s, struck(note(E6), 0.9, bell), 0.0, 0.8);
    mix(s, struck(note(C6), 1.2, bell), 0.28, 1.0);
    return finish(s, 0.6);
}

// ---------------------------------------------------------------------------
// Output

void putLE(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string encodeWav(const Samples& samples)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out;
    out.reserve(44 + dataBytes);
    out += "RIFF";
    putLE(out, 36 + dataBytes, 4);
    out += "WAVE";
    out += "fmt ";
    putLE(out, 16, 4);        // format chunk size
    putLE(out, 1, 2);         // PCM
    putLE(out, 1, 2);         // mono
    putLE(out, kRate, 4);     // sample rate
    putLE(out, kRate * 2, 4); // bytes per second
    putLE(out, 2, 2);         // bytes per frame
    putLE(out, 16, 2);        // bits per sample
    out += "data";
    putLE(out, dataBytes, 4);
    for (double v : samples) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        putLE(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(q)) & 0xFFFF, 2);
    }
    return out;
}

// Writes the file under a temporary name in the same directory and renames it into
// place, so a reader never sees a half-written sound.
bool writeAtomically(const std::filesystem::path& target, const std::string& bytes)
{
    std::filesystem::path temp = target;
    temp += ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        if (!file) {
            std::cerr << "make_sounds: cannot create " << temp.string() << ": " << std::strerror(errno) << '\n';
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            std::cerr << "make_sounds: cannot write " << temp.string() << '\n';
            std::error_code ignored;
            std::filesystem::remove(temp, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temp, target, error);
    if (error) {
        std::cerr << "make_sounds: cannot rename " << temp.string() << " to " << target.string() << ": "
                  << error.message() << '\n';
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: make_sounds OUTDIR\n";
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::error_code error;
    if (!std::filesystem::is_directory(dir, error)) {
        std::cerr << "make_sounds: " << dir.string() << " is not a directory\n";
        return 1;
    }

    struct Sound {
        const char* file;
        Samples (*make)();
    };
    const Sound sounds[] = {
        {"start.wav", startSound},         {"tah.wav", moveSound},       {"kolize1.wav", lightCrash},
        {"kolize2.wav", heavyCrash},       {"kolize3.wav", wreckSound},  {"diskval.wav", disqualifiedSound},
        {"cil.wav", finishSound},          {"rekord.wav", recordSound},  {"vysledky.wav", resultsSound},
    };
    for (const Sound& sound : sounds)
        if (!writeAtomically(dir / sound.file, encodeWav(sound.make())))
            return 1;
    return 0;
}
