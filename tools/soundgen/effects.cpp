// The game's sound effects: weapons, explosions, the shields and the controls.

#include <algorithm>
#include <cmath>

#include "recipes.h"

namespace korvane::soundgen {

namespace {

using Kind = Biquad::Kind;

// Filters that sweep are retuned every few samples: smooth to the ear, cheap to compute.
constexpr std::size_t kRetuneEvery = 16;

}  // namespace

// Help: a rising glass arpeggio, bright and friendly, that rings out.
void HelpChime(Track& track) {
    static constexpr Partial kGlass[] = {
        {1.0, 1.0, 0.45}, {2.0, 0.35, 0.25}, {3.01, 0.15, 0.12}, {4.16, 0.08, 0.07}};
    const double notes[] = {84, 88, 91, 96};  // C, E, G and the octave
    for (int i = 0; i < 4; ++i) {
        Strike(track, 0.085 * i, MidiHz(notes[i]), kGlass, 1.0 - 0.12 * i);
    }
    AddReverb(track, 0.8, 0.25);
    FadeEdges(track, 0.0, 0.2);
    Normalize(track, 0.85);
}

// The star-count bar: one short blip, which matters because it repeats as the bar moves,
// with two faint repeats that give it a console feel.
void MenuTick(Track& track) {
    auto blip = [&track](double start, double gain) {
        Phasor phase;
        const std::size_t first = track.IndexAt(start);
        const std::size_t last = track.IndexAt(start + 0.07);
        for (std::size_t i = first; i < last; ++i) {
            const double t = track.TimeAt(i) - start;
            const double f = ExpGlide(1800, 1100, t / 0.03);
            const double env = Clamp01(t / 0.001) * ExpDecay(t, 0.012);
            track.samples[i] += gain * env * Square(phase.Advance(f, track.rate), f, track.rate, 5);
        }
    };
    blip(0.0, 1.0);
    blip(0.11, 0.3);
    blip(0.22, 0.1);
    FadeEdges(track, 0.0, 0.05);
    Normalize(track, 0.8);
}

// Phasers: a sizzling beam whose pitch falls as the charge drains.
void PhaserZap(Track& track) {
    Rng rng(105);
    Biquad sizzle;
    Phasor a;
    Phasor b;
    const double length = track.Seconds();
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        const double f =
            ExpGlide(2600, 700, std::pow(t / length, 0.7)) * (1.0 + 0.06 * Sine(31 * t));
        if (i % kRetuneEvery == 0) sizzle.Tune(Kind::BandPass, f * 2, 4.0, track.rate);
        double s = Saw(a.Advance(f, track.rate), f, track.rate, 10) +
                   Saw(b.Advance(f * 1.012, track.rate), f * 1.012, track.rate, 10);
        s *= 0.75 + 0.25 * Sine(90 * t);
        s += 1.5 * sizzle.Process(rng.Bipolar());
        const double env = Clamp01(t / 0.004) * (t < 0.45 ? 1.0 : ExpDecay(t - 0.45, 0.15));
        track.samples[i] = env * s;
    }
    FadeEdges(track, 0.0, 0.05);
    Normalize(track, 0.9);
}

// Explosions: a thump under a burst of rumbling noise that darkens as it dies, with
// crackling debris in the first half second.
void Explosion(Track& track) {
    Rng rng(106);
    Biquad rumble;
    Biquad debris;
    debris.Tune(Kind::BandPass, 1500, 1.2, track.rate);
    Phasor thump;
    const double length = track.Seconds();
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        if (i % kRetuneEvery == 0) {
            rumble.Tune(Kind::LowPass, ExpGlide(3500, 120, std::pow(t / length, 0.6)), 0.9,
                        track.rate);
        }
        const double attack = Clamp01(t / 0.002);
        const double noise =
            rumble.Process(rng.Bipolar()) * (0.75 * ExpDecay(t, 0.28) + 0.25 * ExpDecay(t, 0.06));
        const double body =
            Sine(thump.Advance(ExpGlide(90, 30, t / 0.4), track.rate)) * ExpDecay(t, 0.18);
        const double spark =
            rng.Uniform() < 0.02 * ExpDecay(t, 0.2) ? rng.Bipolar() * 4.0 * ExpDecay(t, 0.15) : 0.0;
        track.samples[i] = attack * (1.2 * noise + 0.9 * body) + debris.Process(spark);
    }
    SoftClip(track, 1.8);
    FadeEdges(track, 0.0, 0.1);
    Normalize(track, 0.95);
}

// A game stopped by the player: a relay clunk, then the ship's systems winding down.
void PowerDown(Track& track) {
    Rng rng(108);
    Biquad clunk;
    clunk.Tune(Kind::LowPass, 400, 1.0, track.rate);
    Biquad tone;
    Phasor low;
    Phasor high;
    const double length = track.Seconds();
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        const double u = t / length;
        const double f = ExpGlide(880, 30, std::pow(u, 0.7)) * (1.0 + 0.01 * Sine(7 * t));
        if (i % kRetuneEvery == 0)
            tone.Tune(Kind::LowPass, std::max(200.0, 5 * f), 0.8, track.rate);
        const double whine = Saw(low.Advance(f, track.rate), f, track.rate, 20) +
                             0.5 * Saw(high.Advance(2 * f, track.rate), 2 * f, track.rate, 20);
        const double fall = std::pow(1.0 - u, 1.5);
        const double relay = t < 0.06 ? clunk.Process(rng.Bipolar()) * ExpDecay(t, 0.012) * 3 : 0;
        track.samples[i] = Clamp01(t / 0.01) * fall * tone.Process(whine) + relay;
    }
    FadeEdges(track, 0.0, 0.1);
    Normalize(track, 0.9);
}

// The cube's beam on the raised shields: a heavy pulsing drone, a whine riding on it and
// the crackle of the shields taking the strain.
void ShieldBeam(Track& track) {
    Rng rng(109);
    Biquad crackle;
    crackle.Tune(Kind::HighPass, 3000, 0.7, track.rate);
    Phasor drone1;
    Phasor drone2;
    Phasor fifth;
    Phasor whine;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        const double drone = Saw(drone1.Advance(82, track.rate), 82, track.rate, 20) +
                             Saw(drone2.Advance(82.6, track.rate), 82.6, track.rate, 20) +
                             0.7 * Saw(fifth.Advance(123, track.rate), 123, track.rate, 20);
        const double fw = 1400 + 150 * Sine(0.7 * t) + 40 * Sine(13 * t);
        const double wp = whine.Advance(fw, track.rate);
        const double high = Sine(wp) + 0.4 * Sine(2 * wp);
        const double pulse = 0.65 + 0.35 * Sine(9 * t);
        const double sparks = crackle.Process(rng.Bipolar()) * (0.5 + 0.5 * Sine(4.3 * t));
        track.samples[i] = pulse * (0.35 * drone + 0.25 * high) + 0.3 * sparks;
    }
    FadeEdges(track, 0.12, 0.5);
    Normalize(track, 0.9);
}

// A torpedo leaving its tube: a kick, then a rising rush of air.
void TorpedoLaunch(Track& track) {
    Rng rng(110);
    Biquad rush;
    Phasor kick;
    Phasor rise;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        if (i % kRetuneEvery == 0) {
            rush.Tune(Kind::BandPass, ExpGlide(300, 4000, t / 0.45), 2.5, track.rate);
        }
        const double env = Clamp01(t / 0.02) * ExpDecay(std::max(0.0, t - 0.08), 0.15);
        const double air = rush.Process(rng.Bipolar()) * 2.5;
        const double tone = 0.2 * Sine(rise.Advance(ExpGlide(250, 1400, t / 0.4), track.rate));
        const double body =
            0.8 * Sine(kick.Advance(ExpGlide(160, 45, t / 0.12), track.rate)) * ExpDecay(t, 0.05);
        track.samples[i] = env * (air + tone) + body;
    }
    FadeEdges(track, 0.0, 0.05);
    Normalize(track, 0.9);
}

// The cube's super energy weapon: a short, violent rising discharge, brighter and harsher
// than its beam on the shields.
void SuperWeapon(Track& track) {
    Rng rng(111);
    Biquad hiss;
    hiss.Tune(Kind::BandPass, 5000, 0.8, track.rate);
    Phasor carrier;
    Phasor modulator;
    const double length = track.Seconds();
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        const double u = t / length;
        const double fc = ExpGlide(220, 1800, std::pow(u, 1.3));
        const double index = 6.0 * ExpDecay(t, 0.4) + 1.0;
        const double mod = Sine(modulator.Advance(fc * 1.5, track.rate));
        const double fm = std::sin(2 * kPi * carrier.Advance(fc, track.rate) + index * mod);
        const double buzz = 0.6 + 0.4 * Sine(60 * t);
        const double env = Clamp01(t / 0.005) * (t < length - 0.25 ? 1.0 : (length - t) / 0.25);
        track.samples[i] = env * (buzz * fm + 0.8 * hiss.Process(rng.Bipolar()) * ExpDecay(t, 0.3));
    }
    SoftClip(track, 2.0);
    FadeEdges(track, 0.0, 0.02);
    Normalize(track, 0.9);
}

// Never heard in play, but kept with the others: a sonar ping and its echoes.
void SonarPing(Track& track) {
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        track.samples[i] = Clamp01(t / 0.005) * ExpDecay(t, 0.09) * Sine(1250 * t);
    }
    AddEcho(track, 0.6, 0.5, 0.5);
    FadeEdges(track, 0.0, 0.3);
    Normalize(track, 0.85);
}

// Shields: a hum that rises as they charge, with a shimmer above it.
void ShieldHum(Track& track) {
    static constexpr double kHum[] = {1.0, 0.6, 0.45, 0.3, 0.2, 0.12};
    Phasor hum;
    Phasor shimmer;
    const double length = track.Seconds();
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        const double u = t / length;
        const double f = ExpGlide(95, 140, u);
        const double tremolo = 1.0 - 0.3 * (0.5 + 0.5 * Sine(28 * t));
        track.samples[i] = tremolo * Harmonics(hum.Advance(f, track.rate), f, track.rate, kHum) +
                           0.15 * Sine(shimmer.Advance(ExpGlide(900, 1800, u), track.rate));
    }
    FadeEdges(track, 0.04, 0.15);
    Normalize(track, 0.85);
}

// An antimatter globe leaving the cube: a low, dissonant groan sliding down under a
// dark rush.
void GlobeLaunch(Track& track) {
    Rng rng(116);
    Biquad dark;
    dark.Tune(Kind::LowPass, 900, 0.8, track.rate);
    Biquad rush;
    Phasor root;
    Phasor tritone;
    const double length = track.Seconds();
    for (std::size_t i = 0; i < track.size(); ++i) {
        const double t = track.TimeAt(i);
        const double u = t / length;
        const double slide = ExpGlide(1.0, 0.85, u);
        if (i % kRetuneEvery == 0)
            rush.Tune(Kind::BandPass, ExpGlide(1500, 250, u), 1.5, track.rate);
        const double f1 = 110 * slide;
        const double f2 = 155.56 * slide;
        const double groan = Square(root.Advance(f1, track.rate), f1, track.rate, 12) +
                             Square(tritone.Advance(f2, track.rate), f2, track.rate, 12);
        const double wub = 0.6 + 0.4 * Sine(6.5 * t);
        const double air = rush.Process(rng.Bipolar()) * std::sin(kPi * u) * 1.5;
        track.samples[i] = wub * dark.Process(groan) + air;
    }
    FadeEdges(track, 0.03, 0.35);
    Normalize(track, 0.9);
}

}  // namespace korvane::soundgen
