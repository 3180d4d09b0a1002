// The seventeen embedded sounds, read back the way the game loads them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "sound_ids.h"
#include "sound_player.h"
#include "wav_reader.h"

namespace korvane::sound {
namespace {

using testing::ReadWav;
using testing::WavImage;

struct Expected {
    int id;
    uint32_t rate;
    uint32_t samples;
};

// Written out here on purpose rather than taken from the generator: the game's timing
// (the victory sequence waits out each explosion) depends on exactly these formats.
constexpr Expected kTable[] = {
    {101, 21739, 25595}, {102, 16000, 10347}, {103, 11025, 86172}, {104, 11025, 95690},
    {105, 22050, 20669}, {106, 11025, 11437}, {107, 22050, 64332}, {108, 22050, 43243},
    {109, 22050, 75175}, {110, 22050, 12343}, {111, 22050, 18101}, {112, 22050, 31122},
    {113, 22050, 55902}, {114, 22050, 11725}, {115, 22050, 94607}, {116, 22050, 30552},
    {117, 11025, 32078},
};

TEST(EmbeddedSounds, EachIsAMono8BitPcmImageOfItsExactRateAndLength) {
    for (const Expected& e : kTable) {
        SCOPED_TRACE("sound " + std::to_string(e.id));
        const std::vector<uint8_t> bytes = LoadResData(e.id);
        const WavImage wav = ReadWav(bytes);
        ASSERT_EQ(wav.error, "");
        EXPECT_EQ(wav.riffSize, bytes.size() - 8);
        ASSERT_EQ(wav.chunks.size(), 3u);
        EXPECT_EQ(wav.chunks[0].tag, "fmt ");
        EXPECT_EQ(wav.chunks[1].tag, "fact");
        EXPECT_EQ(wav.chunks[2].tag, "data");
        EXPECT_EQ(wav.formatTag, 1);
        EXPECT_EQ(wav.channels, 1);
        EXPECT_EQ(wav.bitsPerSample, 8);
        EXPECT_EQ(wav.blockAlign, 1);
        EXPECT_EQ(wav.sampleRate, e.rate);
        EXPECT_EQ(wav.byteRate, e.rate);
        EXPECT_EQ(wav.factSamples, e.samples);
        EXPECT_EQ(wav.data.size(), e.samples);
    }
}

TEST(EmbeddedSounds, OnlyTheGamesIdsExist) {
    for (int id : {0, -1, 100, 118, 1000}) EXPECT_TRUE(LoadResData(id).empty()) << id;
    for (int a = kFirstSoundId; a <= kLastSoundId; ++a) {
        for (int b = a + 1; b <= kLastSoundId; ++b) {
            EXPECT_NE(LoadResData(a), LoadResData(b)) << a << " and " << b << " are one sound";
        }
    }
}

// Loud enough to hear, never clipped, and starting and ending at rest so that a sound
// neither clicks when it starts nor when the next one cuts in after it has ended.
TEST(EmbeddedSounds, EachIsAudibleUnclippedAndStartsAndEndsAtRest) {
    for (const Expected& e : kTable) {
        SCOPED_TRACE("sound " + std::to_string(e.id));
        const std::vector<uint8_t> bytes = LoadResData(e.id);
        const WavImage wav = ReadWav(bytes);
        ASSERT_EQ(wav.error, "");
        int peak = 0;
        for (uint8_t b : wav.data) {
            peak = std::max(peak, std::abs(b - 128));
            ASSERT_NE(b, 0);
            ASSERT_NE(b, 255);
        }
        EXPECT_GE(peak, 90);
        EXPECT_LE(std::abs(wav.data.front() - 128), 2);
        EXPECT_LE(std::abs(wav.data.back() - 128), 1);
    }
}

// --- The hint sounds are music ----------------------------------------------------------

// The pitch of one stretch of sound by the normalized square difference of the sound with
// itself shifted: close to 1 at the period of a played note, low for noise, which has no
// period. Returns the clarity and sets `hz` to the pitch found.
double PitchClarity(std::span<const uint8_t> frame, double rate, double& hz) {
    std::vector<double> x(frame.size());
    double mean = 0;
    for (uint8_t b : frame) mean += b;
    mean /= static_cast<double>(frame.size());
    for (std::size_t i = 0; i < frame.size(); ++i) x[i] = frame[i] - mean;

    const std::size_t minLag = static_cast<std::size_t>(rate / 1200);
    const std::size_t maxLag = static_cast<std::size_t>(rate / 40);
    std::vector<double> nsdf(maxLag + 1, 0.0);
    for (std::size_t lag = minLag; lag <= maxLag; ++lag) {
        double r = 0;
        double m = 0;
        for (std::size_t i = 0; i + lag < x.size(); ++i) {
            r += x[i] * x[i + lag];
            m += x[i] * x[i] + x[i + lag] * x[i + lag];
        }
        nsdf[lag] = m > 0 ? 2 * r / m : 0;
    }
    // Only peaks after the curve has first gone negative count; before that it is just
    // the sound resembling itself a moment later, which noise does too.
    std::size_t lag = minLag;
    while (lag <= maxLag && nsdf[lag] > 0) ++lag;
    double best = 0;
    std::size_t bestLag = 0;
    for (; lag <= maxLag; ++lag) {
        if (nsdf[lag] > best) {
            best = nsdf[lag];
            bestLag = lag;
        }
    }
    hz = bestLag > 0 ? rate / static_cast<double>(bestLag) : 0;
    return best;
}

struct Tonality {
    double tonalShare = 0;   // of the frames that are not silent
    std::vector<int> notes;  // the pitch of each tonal frame, as a MIDI note number
};

Tonality Analyse(int id) {
    const std::vector<uint8_t> bytes = LoadResData(id);
    const WavImage wav = ReadWav(bytes);
    const double rate = wav.sampleRate;
    const std::size_t frameLength = static_cast<std::size_t>(rate * 0.08);
    Tonality result;
    int sounding = 0;
    int tonal = 0;
    for (std::size_t at = 0; at + frameLength <= wav.data.size(); at += frameLength) {
        const auto frame = wav.data.subspan(at, frameLength);
        int loudest = 0;
        for (uint8_t b : frame) loudest = std::max(loudest, std::abs(b - 128));
        if (loudest < 8) continue;
        ++sounding;
        double hz = 0;
        if (PitchClarity(frame, rate, hz) >= 0.8) {
            ++tonal;
            result.notes.push_back(static_cast<int>(std::lround(69 + 12 * std::log2(hz / 440))));
        }
    }
    result.tonalShare = sounding > 0 ? static_cast<double>(tonal) / sounding : 0;
    return result;
}

TEST(EmbeddedSounds, TheHintSoundsAreDistinctTunes) {
    std::map<int, std::vector<int>> melodies;
    for (int id : {kSoundHint1, kSoundHint2, kSoundHint3, kSoundHint4}) {
        SCOPED_TRACE("sound " + std::to_string(id));
        const Tonality t = Analyse(id);
        EXPECT_GE(t.tonalShare, 0.7) << "mostly pitched notes, not noise";
        const std::set<int> pitches(t.notes.begin(), t.notes.end());
        EXPECT_GE(pitches.size(), 3u) << "a tune moves between notes";
        melodies[id] = t.notes;
    }
    for (auto a = melodies.begin(); a != melodies.end(); ++a) {
        for (auto b = std::next(a); b != melodies.end(); ++b) {
            EXPECT_NE(a->second, b->second) << a->first << " and " << b->first;
        }
    }
}

// The same measure tells noise from music: without this the test above could pass
// on anything.
TEST(EmbeddedSounds, TheExplosionAndTheLaunchRushAreNoiseNotTunes) {
    for (int id : {kSoundExplosion, kSoundTorpedoLaunch}) {
        EXPECT_LT(Analyse(id).tonalShare, 0.3) << "sound " << id;
    }
}

}  // namespace
}  // namespace korvane::sound
