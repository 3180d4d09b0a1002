// The game's music: the four hint tunes, the start fanfare and the victory jingle. Each
// hint has its own mood and its own instruments, so the player learns to tell them apart.
// Scores are written a phrase to a line, so the formatter is kept off them.

#include <cmath>

#include "recipes.h"

namespace korvane::soundgen {

namespace {

// A mellow horn for the solemn first hint.
Instrument Horn() {
    Instrument horn;
    horn.harmonics = {1.0, 0.5, 0.35, 0.2, 0.12, 0.08, 0.05};
    horn.attack = 0.08;
    horn.decay = 0.2;
    horn.sustain = 0.8;
    horn.release = 0.25;
    horn.vibratoHz = 5.0;
    horn.vibratoDepth = 0.004;
    horn.brassiness = 0.8;
    horn.detune = 6;
    return horn;
}

// Bowed strings: a slow, detuned sawtooth for the chords underneath.
Instrument Strings() {
    Instrument strings;
    for (int k = 1; k <= 10; ++k) strings.harmonics.push_back(1.0 / k);
    strings.attack = 0.3;
    strings.decay = 0.3;
    strings.sustain = 0.9;
    strings.release = 0.5;
    strings.vibratoHz = 5.5;
    strings.vibratoDepth = 0.005;
    strings.detune = 9;
    return strings;
}

Instrument Flute() {
    Instrument flute;
    flute.harmonics = {1.0, 0.2, 0.08, 0.03};
    flute.attack = 0.06;
    flute.decay = 0.1;
    flute.sustain = 0.85;
    flute.release = 0.2;
    flute.vibratoHz = 5.0;
    flute.vibratoDepth = 0.008;
    return flute;
}

// Bright trumpets that open up as they swell.
Instrument Brass() {
    Instrument brass;
    brass.harmonics = {1.0, 0.8, 0.6, 0.45, 0.32, 0.22, 0.15, 0.1};
    brass.attack = 0.03;
    brass.decay = 0.1;
    brass.sustain = 0.85;
    brass.release = 0.12;
    brass.vibratoHz = 5.5;
    brass.vibratoDepth = 0.003;
    brass.brassiness = 1.2;
    brass.detune = 5;
    return brass;
}

// A narrow pulse wave, the arcade sound of the victory jingle.
Instrument Pulse(int harmonics) {
    Instrument pulse;
    for (int k = 1; k <= harmonics; ++k) {
        pulse.harmonics.push_back(std::abs(std::sin(kPi * k * 0.25)) / k);
    }
    pulse.attack = 0.005;
    pulse.decay = 0.08;
    pulse.sustain = 0.6;
    pulse.release = 0.05;
    return pulse;
}

constexpr Partial kBell[] = {
    {1.0, 1.0, 0.6}, {2.0, 0.3, 0.3}, {3.01, 0.12, 0.15}, {4.16, 0.06, 0.08}};

}  // namespace

// "That which would destroy you, makes you strong": a horn climbs out of D minor and
// ends, over the strings, on a D major chord.
void HintStrength(Track& track) {
    // clang-format off
    PlayNotes(track, Horn(),
              {{0.0, 0.45, 62}, {0.5, 0.45, 65}, {1.0, 0.45, 69}, {1.5, 1.3, 74},
               {3.0, 0.45, 70}, {3.5, 0.2, 69}, {3.75, 0.2, 67}, {4.0, 0.9, 69},
               {5.0, 0.45, 74}, {5.5, 0.45, 76}, {6.0, 1.5, 78}},
              0.5);
    PlayNotes(track, Strings(),
              {{0.0, 2.9, 50}, {0.0, 2.9, 53}, {0.0, 2.9, 57},                  // D minor
               {3.0, 0.9, 55}, {3.0, 0.9, 58}, {3.0, 0.9, 62},                  // G minor
               {4.0, 0.9, 57}, {4.0, 0.9, 61}, {4.0, 0.9, 64},                  // A major
               {5.0, 2.3, 50}, {5.0, 2.3, 54}, {5.0, 2.3, 57}, {5.0, 2.3, 62},  // D major
               {0.0, 2.9, 38}, {3.0, 0.9, 43}, {4.0, 0.9, 45}, {5.0, 2.3, 38}},  // bass
              0.12);
    // clang-format on
    Timpani(track, 0.0, 73.4, 0.5);
    Timpani(track, 5.0, 73.4, 0.6);
    Timpani(track, 6.0, 55.0, 0.5);
    AddReverb(track, 1.0, 0.3);
    FadeEdges(track, 0.0, 0.3);
    Normalize(track, 0.9);
}

// "Remember the Tessarine": a lament in A minor, a flute over a slowly plucked harp.
void HintRemembrance(Track& track) {
    Rng rng(104);
    struct Chord {
        double start;
        double notes[4];
    };
    const Chord chords[] = {
        {0.0, {45, 52, 57, 60}},  // A minor
        {1.2, {41, 48, 53, 57}},  // F
        {2.4, {48, 55, 60, 64}},  // C
        {3.6, {40, 47, 52, 56}},  // E
        {4.8, {45, 52, 57, 60}},  // A minor
        {6.0, {50, 57, 62, 65}},  // D minor
        {7.2, {45, 52, 57, 64}},  // A minor, left to ring
    };
    for (const Chord& chord : chords) {
        for (int i = 0; i < 4; ++i) {
            const double start = chord.start + 0.15 * i;
            const double ring = chord.start == 7.2 ? track.Seconds() - start : 1.6;
            Pluck(track, start, MidiHz(chord.notes[i]), ring, 0.35, rng);
        }
    }
    // clang-format off
    PlayNotes(track, Flute(),
              {{0.6, 0.85, 76}, {1.5, 0.25, 74}, {1.8, 0.5, 72}, {2.4, 0.45, 71},
               {2.9, 0.2, 72}, {3.15, 0.3, 74}, {3.6, 0.85, 76}, {4.5, 0.25, 68},
               {4.8, 1.0, 69}, {6.0, 0.45, 72}, {6.5, 0.45, 71}, {7.0, 0.15, 69},
               {7.2, 1.1, 69}},
              0.3);
    // clang-format on
    AddReverb(track, 1.3, 0.35);
    FadeEdges(track, 0.0, 0.4);
    Normalize(track, 0.9);
}

// "A warrior's mettle...": a low horn call in E minor over war drums, climbing.
void HintMettle(Track& track) {
    Rng rng(107);
    Instrument horn = Brass();
    horn.brassiness = 0.9;
    // clang-format off
    PlayNotes(track, horn,
              {{0.0, 0.4, 52}, {0.5, 0.4, 59}, {1.0, 0.2, 64}, {1.25, 0.2, 62},
               {1.5, 0.2, 64}, {1.75, 0.2, 67}, {2.0, 0.55, 64}},
              0.45);
    // clang-format on
    PlayNotes(track, horn, {{0.0, 0.9, 40}, {1.0, 0.9, 47}, {2.0, 0.55, 40}}, 0.25);
    // The drums are tuned to the horns' root, E and then B, so they add weight, not mud.
    const double drum[] = {82.4, 82.4, 61.7, 61.7, 82.4};
    for (int beat = 0; beat < 5; ++beat) {
        Timpani(track, 0.5 * beat, drum[beat], 0.45);
        Snare(track, 0.5 * beat + 0.25, 0.18, rng);
    }
    Snare(track, 2.0, 0.25, rng);
    AddReverb(track, 0.9, 0.25);
    FadeEdges(track, 0.0, 0.3);
    Normalize(track, 0.9);
}

// "Resistance is futile": the Vessik speak in cold metal, four notes falling to a
// tritone. The same tune greets the player when the Vessik win.
void HintResistance(Track& track) {
    const Note notes[] = {{0.0, 0.22, 52}, {0.25, 0.22, 52}, {0.5, 0.22, 48}, {0.75, 0.5, 42}};
    for (const Note& note : notes) {
        const double f = MidiHz(note.midi);
        Phasor tone;
        Phasor ring;
        Phasor sub;
        const std::size_t first = track.IndexAt(note.start);
        const std::size_t last = track.IndexAt(note.start + note.length + 0.08);
        for (std::size_t i = first; i < last; ++i) {
            const double t = track.TimeAt(i) - note.start;
            const double env = Adsr(t, note.length, 0.01, 0.05, 0.8, 0.08);
            // A hollow square rung against its own third harmonic: hard and machine-like,
            // yet every note keeps a clear pitch.
            const double metal = Square(tone.Advance(f, track.rate), f, track.rate, 12) *
                                 (0.6 + 0.4 * Sine(ring.Advance(f * 3, track.rate)));
            const double low = Sine(sub.Advance(f / 2, track.rate));
            track.samples[i] += env * (0.5 * metal + 0.5 * low);
        }
    }
    AddReverb(track, 0.6, 0.3);
    FadeEdges(track, 0.0, 0.15);
    Normalize(track, 0.9);
}

// A game starts: a trumpet call in C major with timpani, ending on a held chord.
void StartFanfare(Track& track) {
    const Instrument brass = Brass();
    // clang-format off
    PlayNotes(track, brass,
              {{0.00, 0.11, 67}, {0.15, 0.11, 67}, {0.30, 0.11, 67}, {0.45, 0.6, 72},
               {1.10, 0.15, 67}, {1.30, 0.15, 72}, {1.50, 0.55, 76},
               {2.10, 0.12, 74}, {2.25, 0.12, 76}, {2.40, 0.12, 77}, {2.55, 1.35, 79}},
              0.4);
    PlayNotes(track, brass,
              {{0.45, 0.6, 64}, {1.10, 0.15, 64}, {1.30, 0.15, 67}, {1.50, 0.55, 72},
               {2.10, 0.12, 71}, {2.25, 0.12, 72}, {2.40, 0.12, 74}, {2.55, 1.35, 76}},
              0.25);
    PlayNotes(track, brass,
              {{0.45, 1.0, 48}, {1.50, 0.55, 48}, {2.10, 0.4, 43}, {2.55, 1.35, 48},
               {2.55, 1.35, 55}},
              0.22);
    // clang-format on
    Timpani(track, 0.45, 65.4, 0.6);
    Timpani(track, 1.50, 65.4, 0.5);
    Timpani(track, 2.10, 98.0, 0.5);
    Timpani(track, 2.55, 65.4, 0.6);
    for (int i = 0; i < 8; ++i) Timpani(track, 3.4 + 0.06 * i, 65.4, 0.15 + 0.04 * i);
    AddReverb(track, 1.0, 0.25);
    FadeEdges(track, 0.0, 0.25);
    Normalize(track, 0.9);
}

// Victory: a quick arcade run up the C major chord that ends in ringing bells.
void VictoryJingle(Track& track) {
    // clang-format off
    PlayNotes(track, Pulse(12),
              {{0.00, 0.1, 72}, {0.12, 0.1, 76}, {0.24, 0.1, 79}, {0.36, 0.25, 84},
               {0.64, 0.1, 79}, {0.76, 0.1, 84}, {0.88, 0.45, 88},
               {1.40, 0.1, 86}, {1.52, 0.1, 88}, {1.64, 0.1, 89}, {1.76, 0.8, 91}},
              0.45);
    PlayNotes(track, Pulse(20),
              {{0.00, 0.3, 48}, {0.36, 0.25, 55}, {0.64, 0.6, 48}, {1.40, 0.3, 55},
               {1.76, 0.8, 48}},
              0.3);
    // clang-format on
    Instrument chord = Strings();
    chord.attack = 0.05;
    PlayNotes(track, chord, {{1.76, 0.7, 60}, {1.76, 0.7, 64}, {1.76, 0.7, 67}}, 0.12);
    Strike(track, 1.76, MidiHz(91), kBell, 0.3);
    Strike(track, 1.88, MidiHz(96), kBell, 0.2);
    AddReverb(track, 0.8, 0.2);
    FadeEdges(track, 0.0, 0.3);
    Normalize(track, 0.9);
}

}  // namespace korvane::soundgen
