#include "synth.h"

#include <algorithm>
#include <cmath>

namespace korvane::soundgen {

std::size_t Track::IndexAt(double t) const {
    if (t <= 0) return 0;
    const double index = std::ceil(t * rate);
    return std::min(samples.size(), static_cast<std::size_t>(index));
}

// SplitMix64, the same generator the game uses for its dice.
uint64_t Rng::Next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Rng::Uniform() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}
double Rng::Bipolar() {
    return Uniform() * 2.0 - 1.0;
}

double Phasor::Advance(double hz, double rate) {
    const double before = phase_;
    phase_ += hz / rate;
    phase_ -= std::floor(phase_);
    return before;
}

double Sine(double phase) {
    return std::sin(2.0 * kPi * phase);
}

namespace {

// Harmonics fade out over the top fifth of the band rather than vanishing at once, so a
// sweeping tone does not click each time one of them crosses the Nyquist frequency.
double BandWeight(double hz, double rate) {
    const double nyquist = rate / 2.0;
    if (hz >= nyquist) return 0.0;
    if (hz <= 0.8 * nyquist) return 1.0;
    return (nyquist - hz) / (0.2 * nyquist);
}

}  // namespace

double Harmonics(double phase, double fundamentalHz, double rate, std::span<const double> amps) {
    double sum = 0.0;
    for (std::size_t k = 0; k < amps.size(); ++k) {
        const double n = static_cast<double>(k + 1);
        const double weight = BandWeight(n * fundamentalHz, rate);
        if (weight == 0.0) break;
        sum += amps[k] * weight * Sine(n * phase);
    }
    return sum;
}

double Saw(double phase, double fundamentalHz, double rate, int maxHarmonics) {
    double sum = 0.0;
    for (int k = 1; k <= maxHarmonics; ++k) {
        const double weight = BandWeight(k * fundamentalHz, rate);
        if (weight == 0.0) break;
        sum += weight * Sine(k * phase) / k;
    }
    return sum * (2.0 / kPi);
}

double Square(double phase, double fundamentalHz, double rate, int maxHarmonics) {
    double sum = 0.0;
    for (int k = 1; k <= maxHarmonics; k += 2) {
        const double weight = BandWeight(k * fundamentalHz, rate);
        if (weight == 0.0) break;
        sum += weight * Sine(k * phase) / k;
    }
    return sum * (4.0 / kPi);
}

void Biquad::Tune(Kind kind, double hz, double q, double rate) {
    hz = std::clamp(hz, 10.0, rate * 0.45);
    const double w = 2.0 * kPi * hz / rate;
    const double cosw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * q);
    const double a0 = 1.0 + alpha;
    switch (kind) {
        case Kind::LowPass:
            b0_ = (1.0 - cosw) / 2.0;
            b1_ = 1.0 - cosw;
            b2_ = b0_;
            break;
        case Kind::HighPass:
            b0_ = (1.0 + cosw) / 2.0;
            b1_ = -(1.0 + cosw);
            b2_ = b0_;
            break;
        case Kind::BandPass:
            b0_ = alpha;
            b1_ = 0.0;
            b2_ = -alpha;
            break;
    }
    b0_ /= a0;
    b1_ /= a0;
    b2_ /= a0;
    a1_ = -2.0 * cosw / a0;
    a2_ = (1.0 - alpha) / a0;
}

double Biquad::Process(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

double Clamp01(double u) {
    return std::clamp(u, 0.0, 1.0);
}

namespace {

double AttackDecay(double t, double attack, double decay, double sustain) {
    if (t < attack) return t / attack;
    if (t < attack + decay) return 1.0 - (1.0 - sustain) * (t - attack) / decay;
    return sustain;
}

}  // namespace

double Adsr(double t, double length, double attack, double decay, double sustain, double release) {
    if (t < 0) return 0.0;
    if (t < length) return AttackDecay(t, attack, decay, sustain);
    const double held = AttackDecay(length, attack, decay, sustain);
    if (release <= 0 || t >= length + release) return 0.0;
    return held * (1.0 - (t - length) / release);
}

double ExpDecay(double t, double tau) {
    return t < 0 ? 0.0 : std::exp(-t / tau);
}

double ExpGlide(double a, double b, double u) {
    return a * std::pow(b / a, Clamp01(u));
}

double MidiHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void FadeEdges(Track& track, double fadeIn, double fadeOut) {
    const std::size_t n = track.size();
    const std::size_t in = std::min(n, static_cast<std::size_t>(fadeIn * track.rate));
    const std::size_t out = std::min(n, static_cast<std::size_t>(fadeOut * track.rate));
    for (std::size_t i = 0; i < in; ++i) {
        track.samples[i] *= static_cast<double>(i) / static_cast<double>(in);
    }
    for (std::size_t i = 0; i < out; ++i) {
        // The last sample comes out exactly silent, so no sound ends in a click.
        track.samples[n - 1 - i] *= static_cast<double>(i) / static_cast<double>(out);
    }
}

void Normalize(Track& track, double peak) {
    double highest = 0.0;
    for (double s : track.samples) highest = std::max(highest, std::abs(s));
    if (highest == 0.0) return;
    for (double& s : track.samples) s *= peak / highest;
}

void SoftClip(Track& track, double drive) {
    for (double& s : track.samples) s = std::tanh(s * drive);
}

void AddEcho(Track& track, double delay, double feedback, double mix) {
    const std::size_t d = std::max<std::size_t>(1, static_cast<std::size_t>(delay * track.rate));
    std::vector<double> line(track.samples);
    for (std::size_t i = d; i < line.size(); ++i) line[i] += feedback * line[i - d];
    for (std::size_t i = 0; i < line.size(); ++i) {
        track.samples[i] = (1.0 - mix) * track.samples[i] + mix * line[i];
    }
}

namespace {

class Comb {
  public:
    Comb(std::size_t length, double feedback) : buffer_(length, 0.0), feedback_(feedback) {}
    double Process(double x) {
        const double out = buffer_[pos_];
        buffer_[pos_] = x + out * feedback_;
        pos_ = (pos_ + 1) % buffer_.size();
        return out;
    }

  private:
    std::vector<double> buffer_;
    double feedback_;
    std::size_t pos_ = 0;
};

class AllPass {
  public:
    AllPass(std::size_t length, double gain) : buffer_(length, 0.0), gain_(gain) {}
    double Process(double x) {
        const double delayed = buffer_[pos_];
        const double out = -gain_ * x + delayed;
        buffer_[pos_] = x + gain_ * out;
        pos_ = (pos_ + 1) % buffer_.size();
        return out;
    }

  private:
    std::vector<double> buffer_;
    double gain_;
    std::size_t pos_ = 0;
};

}  // namespace

void AddReverb(Track& track, double roomSize, double mix) {
    auto len = [&](double ms) {
        return std::max<std::size_t>(1,
                                     static_cast<std::size_t>(ms * roomSize * track.rate / 1000));
    };
    Comb combs[] = {{len(29.7), 0.80}, {len(37.1), 0.78}, {len(41.1), 0.76}, {len(43.7), 0.74}};
    AllPass pass1(len(5.0), 0.7);
    AllPass pass2(len(1.7), 0.7);
    for (double& s : track.samples) {
        double wet = 0.0;
        for (Comb& c : combs) wet += c.Process(s);
        wet = pass2.Process(pass1.Process(wet * 0.25));
        s = (1.0 - mix) * s + mix * wet;
    }
}

void Mix(Track& into, const Track& from, double gain) {
    const std::size_t n = std::min(into.size(), from.size());
    for (std::size_t i = 0; i < n; ++i) into.samples[i] += gain * from.samples[i];
}

void PlayNotes(Track& track, const Instrument& instrument, std::initializer_list<Note> notes,
               double gain) {
    const double detuneRatio = std::pow(2.0, instrument.detune / 1200.0);
    std::vector<double> amps(instrument.harmonics.size());
    for (const Note& note : notes) {
        const double hz = MidiHz(note.midi);
        const std::size_t first = track.IndexAt(note.start);
        const std::size_t last = track.IndexAt(note.start + note.length + instrument.release);
        Phasor main;
        Phasor second;
        for (std::size_t i = first; i < last; ++i) {
            const double t = track.TimeAt(i) - note.start;
            const double env = Adsr(t, note.length, instrument.attack, instrument.decay,
                                    instrument.sustain, instrument.release);
            // Vibrato comes in after the attack, as a player's would.
            const double depth = instrument.vibratoDepth * Clamp01((t - 0.15) / 0.3);
            const double f = hz * (1.0 + depth * Sine(instrument.vibratoHz * t));
            for (std::size_t k = 0; k < amps.size(); ++k) {
                amps[k] = instrument.harmonics[k] *
                          std::pow(env, 1.0 + instrument.brassiness * static_cast<double>(k));
            }
            double s = Harmonics(main.Advance(f, track.rate), f, track.rate, amps);
            if (instrument.detune != 0.0) {
                const double f2 = f * detuneRatio;
                s = 0.5 * (s + Harmonics(second.Advance(f2, track.rate), f2, track.rate, amps));
            }
            track.samples[i] += gain * note.velocity * env * s;
        }
    }
}

void Strike(Track& track, double start, double hz, std::span<const Partial> partials, double gain) {
    const std::size_t first = track.IndexAt(start);
    for (const Partial& p : partials) {
        const double f = hz * p.ratio;
        if (f >= track.rate * 0.45) continue;
        for (std::size_t i = first; i < track.size(); ++i) {
            const double t = track.TimeAt(i) - start;
            const double env = ExpDecay(t, p.decay) * Clamp01(t / 0.002);
            if (t > 0.002 && env < 1e-4) break;
            track.samples[i] += gain * p.amplitude * env * Sine(f * t);
        }
    }
}

void Pluck(Track& track, double start, double hz, double length, double gain, Rng& rng) {
    const std::size_t period = std::max<std::size_t>(2, static_cast<std::size_t>(track.rate / hz));
    std::vector<double> line(period);
    for (double& s : line) s = rng.Bipolar();
    // A soft finger rather than a pick: smooth the burst that sets the string ringing.
    for (int pass = 0; pass < 3; ++pass) {
        for (std::size_t i = 0; i < period; ++i) line[i] = 0.5 * (line[i] + line[(i + 1) % period]);
    }
    const std::size_t first = track.IndexAt(start);
    const std::size_t last = track.IndexAt(start + length);
    const double fade = 0.05;
    std::size_t pos = 0;
    for (std::size_t i = first; i < last; ++i) {
        const double t = track.TimeAt(i) - start;
        const double damp = Clamp01((length - t) / fade) * Clamp01(t / 0.002);
        const std::size_t next = (pos + 1) % period;
        const double out = line[pos];
        line[pos] = 0.996 * 0.5 * (line[pos] + line[next]);
        pos = next;
        track.samples[i] += gain * damp * out;
    }
}

void Timpani(Track& track, double start, double hz, double gain) {
    const std::size_t first = track.IndexAt(start);
    Phasor body;
    Phasor overtone;
    for (std::size_t i = first; i < track.size(); ++i) {
        const double t = track.TimeAt(i) - start;
        const double env = ExpDecay(t, 0.45) * Clamp01(t / 0.003);
        if (t > 0.1 && env < 1e-4) break;
        // The skin is struck slightly sharp and settles onto its pitch.
        const double f = hz * (1.0 + 0.08 * ExpDecay(t, 0.04));
        const double s = Sine(body.Advance(f, track.rate)) +
                         0.35 * ExpDecay(t, 0.15) * Sine(overtone.Advance(f * 1.5, track.rate));
        track.samples[i] += gain * env * s;
    }
}

void Snare(Track& track, double start, double gain, Rng& rng) {
    Biquad band;
    band.Tune(Biquad::Kind::BandPass, 2500, 0.6, track.rate);
    const std::size_t first = track.IndexAt(start);
    const std::size_t last = track.IndexAt(start + 0.35);
    for (std::size_t i = first; i < last; ++i) {
        const double t = track.TimeAt(i) - start;
        const double rattle = band.Process(rng.Bipolar()) * ExpDecay(t, 0.07);
        const double skin = Sine(190.0 * t) * ExpDecay(t, 0.03);
        track.samples[i] += gain * Clamp01(t / 0.001) * (1.6 * rattle + 0.5 * skin);
    }
}

}  // namespace korvane::soundgen
