#pragma once
// The little synthesizer behind the game's sound effects. Everything is computed from
// the sample rate and fixed seeds, so every build makes the same bytes.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

namespace korvane::soundgen {

// One sound being built: floating-point samples in [-1, 1] at a fixed rate.
struct Track {
    double rate = 0;
    std::vector<double> samples;

    Track(double sampleRate, std::size_t count) : rate(sampleRate), samples(count, 0.0) {}
    std::size_t size() const { return samples.size(); }
    double Seconds() const { return static_cast<double>(samples.size()) / rate; }
    double TimeAt(std::size_t i) const { return static_cast<double>(i) / rate; }
    // Index of the first sample at or after time t, clamped to the track.
    std::size_t IndexAt(double t) const;
};

constexpr double kPi = 3.14159265358979323846;

// Noise for crackle, hiss and plucked strings; seeded so that it repeats.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform();  // [0, 1)
    double Bipolar();  // [-1, 1)

  private:
    uint64_t state_;
};

// A running phase in cycles, so that the frequency can glide without clicks.
class Phasor {
  public:
    double Advance(double hz, double rate);  // returns the phase before the step

  private:
    double phase_ = 0.0;
};

double Sine(double phase);
// A band-limited tone: harmonic k (1-based) has amplitude amps[k-1]; harmonics at or
// above the Nyquist frequency are left out so that nothing folds back as a whistle.
double Harmonics(double phase, double fundamentalHz, double rate, std::span<const double> amps);
// Band-limited sawtooth and square of the given number of harmonics at most.
double Saw(double phase, double fundamentalHz, double rate, int maxHarmonics = 40);
double Square(double phase, double fundamentalHz, double rate, int maxHarmonics = 40);

// Second-order filter (the usual audio cookbook forms); retune it as often as needed.
class Biquad {
  public:
    enum class Kind { LowPass, HighPass, BandPass };
    void Tune(Kind kind, double hz, double q, double rate);
    double Process(double x);

  private:
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// Envelopes, all in seconds.
double Adsr(double t, double length, double attack, double decay, double sustain, double release);
double ExpDecay(double t, double tau);
// Moves from a to b along an exponential curve as u goes from 0 to 1 (for pitch sweeps).
double ExpGlide(double a, double b, double u);
double Clamp01(double u);

double MidiHz(double note);

// Whole-track helpers.
void FadeEdges(Track& track, double fadeIn, double fadeOut);
void Normalize(Track& track, double peak);
void SoftClip(Track& track, double drive);
void AddEcho(Track& track, double delay, double feedback, double mix);
// A small hall (four combs, two all-passes) for the music.
void AddReverb(Track& track, double roomSize, double mix);
void Mix(Track& into, const Track& from, double gain);

// Melodic instruments for the jingles and hint tunes.
struct Note {
    double start;   // seconds
    double length;  // seconds, before the release
    double midi;    // pitch as a MIDI note number (60 = middle C)
    double velocity = 1.0;
};

struct Instrument {
    std::vector<double> harmonics;  // amplitude of harmonic 1, 2, 3, ...
    double attack = 0.01;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.1;
    double vibratoHz = 0.0;
    double vibratoDepth = 0.0;  // fraction of the frequency
    // Brass-like brightening: upper harmonics follow the envelope more steeply.
    double brassiness = 0.0;
    double detune = 0.0;  // a second voice this many cents sharp, for warmth
};

void PlayNotes(Track& track, const Instrument& instrument, std::initializer_list<Note> notes,
               double gain);

// A struck bell or glass: partials at fixed ratios, each with its own decay.
struct Partial {
    double ratio;
    double amplitude;
    double decay;  // seconds to fall to 1/e
};
void Strike(Track& track, double start, double hz, std::span<const Partial> partials, double gain);

// A plucked string (a delay line fed with noise that smooths as it rings).
void Pluck(Track& track, double start, double hz, double length, double gain, Rng& rng);

// Percussion.
void Timpani(Track& track, double start, double hz, double gain);
void Snare(Track& track, double start, double gain, Rng& rng);

}  // namespace korvane::soundgen
