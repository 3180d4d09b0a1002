// The embedded sounds and the player, through the player's public calls. The player runs on
// SDL's dummy driver, which keeps real time without a sound card; what is playing is read
// through CurrentPlayback(), so no check depends on how fast this machine is.
//
// sounds.expected pins every embedded image (rate, length, hash): the game's timing waits
// out whole sounds (see pinned.h for rewriting it).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "pinned.h"
#include "sound_channel.h"
#include "sound_player.h"

namespace korvane::sound {
namespace {

constexpr int kFirst = 101;  // the game's sound resources are 101 to 117
constexpr int kLast = 117;

uint32_t Get32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The samples of a mono 8-bit WAV image: the body of its "data" chunk.
std::vector<uint8_t> Samples(const std::vector<uint8_t>& wav) {
    for (std::size_t at = 12; at + 8 <= wav.size(); at += 8 + Get32(wav, at + 4)) {
        if (std::string(wav.begin() + at, wav.begin() + at + 4) == "data") {
            return {wav.begin() + at + 8, wav.begin() + at + 8 + Get32(wav, at + 4)};
        }
    }
    return {};
}

TEST(SoundChannel, PlaysInOrderAcrossBuffersCutsAtTheNextByteAndEndsInSilence) {
    SoundChannel channel;
    auto pull = [&](std::size_t n, bool& ended) {
        std::vector<uint8_t> out(n, 0xEE);
        ended = channel.Render(out.data(), n, 0x80);
        return out;
    };
    bool ended = true;
    channel.Start({1, 2, 3, 4, 5}, 105);
    EXPECT_EQ(pull(2, ended), (std::vector<uint8_t>{1, 2}));
    EXPECT_FALSE(ended);
    EXPECT_EQ(channel.Start({7, 8, 9}, 110), (std::vector<uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(pull(5, ended), (std::vector<uint8_t>{7, 8, 9, 0x80, 0x80}));
    EXPECT_TRUE(ended);
    EXPECT_EQ(pull(1, ended), (std::vector<uint8_t>{0x80}));
    EXPECT_FALSE(ended) << "an end is reported once";
    EXPECT_EQ(channel.started(), 2u);
    EXPECT_EQ(channel.completed(), 1u) << "the cut sound never completed";
    channel.Start({4, 5, 6}, 109);
    pull(1, ended);
    channel.Stop();
    EXPECT_EQ(pull(2, ended), (std::vector<uint8_t>{0x80, 0x80}));
    EXPECT_EQ(channel.completed(), 1u) << "a stop is not an end";
    EXPECT_EQ(channel.soundId(), 0);
}

// Polls the player until `done` holds; false if it never does within a generous limit.
bool WaitFor(const std::function<bool(const PlaybackStatus&)>& done) {
    for (int i = 0; i < 5000; ++i) {
        if (done(CurrentPlayback())) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

class Player : public ::testing::Test {
  protected:
    void SetUp() override {
        ShutdownAudio();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(InitAudio());
    }
    void TearDown() override { ShutdownAudio(); }
};

TEST_F(Player, AnAsynchronousSoundPlaysOnAndANewOneCutsItAtOnce) {
    PlaySoundResource(107, kPlayAsync);
    PlaybackStatus s = CurrentPlayback();
    EXPECT_EQ(s.soundId, 107);
    EXPECT_LT(s.bytesPlayed, s.bytesTotal);
    EXPECT_EQ(s.soundsCompleted, 0u);
    ASSERT_TRUE(WaitFor([](const PlaybackStatus& p) { return p.bytesPlayed > p.bytesTotal / 8; }));
    const std::size_t reached = CurrentPlayback().bytesPlayed;
    PlaySoundResource(107, kPlayAsync);
    EXPECT_LT(CurrentPlayback().bytesPlayed, reached) << "the same sound starts again";

    PlaySoundResource(114, kPlayAsync);
    s = CurrentPlayback();
    EXPECT_EQ(s.soundId, 114);
    EXPECT_LT(s.bytesPlayed, s.bytesTotal / 2);
    EXPECT_EQ(s.soundsStarted, 3u);
    ASSERT_TRUE(WaitFor([](const PlaybackStatus& p) { return p.soundsCompleted == 1; }));
    EXPECT_EQ(CurrentPlayback().soundId, 0) << "the cut sound does not come back";

    PlaySoundResource(101, kPlayAsync);
    PlaySoundResource(99, kPlaySync);  // unknown: stops the sound and does not wait
    EXPECT_EQ(CurrentPlayback().soundId, 0);
    EXPECT_EQ(CurrentPlayback().soundsCompleted, 1u);
}

using EmbeddedSounds = Player;  // each also played, for its length

TEST_F(EmbeddedSounds, EachIsPinnedAudibleUnclippedAtRestAtBothEndsAndPlaysForItsLength) {
    std::ostringstream got;
    for (int id = kFirst; id <= kLast; ++id) {
        SCOPED_TRACE("sound " + std::to_string(id));
        const std::vector<uint8_t> wav = LoadResData(id);
        const std::vector<uint8_t> pcm = Samples(wav);
        ASSERT_FALSE(pcm.empty());
        uint64_t hash = 0xcbf29ce484222325ull;
        for (uint8_t b : wav) hash = (hash ^ b) * 0x100000001b3ull;
        got << id << " rate " << Get32(wav, 24) << " samples " << pcm.size() << " fnv1a64 "
            << std::hex << hash << std::dec << "\n";
        int peak = 0;
        for (uint8_t b : pcm) {
            peak = std::max(peak, std::abs(b - 128));
            ASSERT_TRUE(b != 0 && b != 255) << "clipped";
        }
        EXPECT_GE(peak, 90);
        EXPECT_LE(std::abs(pcm.front() - 128), 2) << "a click at the start";
        EXPECT_LE(std::abs(pcm.back() - 128), 1) << "a click at the end";
        PlaySoundResource(id, kPlayAsync);
        const PlaybackStatus s = CurrentPlayback();
        ASSERT_EQ(s.soundId, id);
        const double seconds = static_cast<double>(pcm.size()) / Get32(wav, 24);
        EXPECT_NEAR(static_cast<double>(s.bytesTotal) / s.bytesPerSecond, seconds, 0.01 * seconds);
    }
    for (int id : {0, -1, 100, 118}) EXPECT_TRUE(LoadResData(id).empty()) << id;

    pinned::Check(KORVANE_SOUND_GOLDEN, got.str());
}

// A synchronous sound returns once played to its end. Between sounds the device takes no
// buffers of silence: its thread sleeps (a laptop pays for every wake-up) and the next sound
// wakes it from its first byte.
TEST_F(Player, ASyncSoundReturnsAtItsEndAndTheDeviceSleepsUntilTheNextFromItsStart) {
    PlaySoundResource(106, kPlaySync);
    PlaybackStatus s = CurrentPlayback();
    EXPECT_EQ(s.soundsCompleted, 1u);
    EXPECT_EQ(s.bytesPlayed, s.bytesTotal);
    EXPECT_EQ(s.soundId, 0);
    PlaySoundResource(110);  // without flags: synchronous too
    PlaySoundResource(110, kPlaySync);
    s = CurrentPlayback();
    EXPECT_EQ(s.soundsStarted, 3u);
    EXPECT_EQ(s.soundsCompleted, 3u) << "one after the other, each in full";
    const uint64_t afterSound = s.buffersFilled;
    EXPECT_GT(afterSound, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));  // six buffers' time
    EXPECT_LE(CurrentPlayback().buffersFilled, afterSound + 1);
    PlaySoundResource(106, kPlayAsync);
    s = CurrentPlayback();
    EXPECT_EQ(s.soundId, 106);
    EXPECT_LT(s.bytesPlayed, s.bytesTotal / 2);
    ASSERT_TRUE(WaitFor([](const PlaybackStatus& p) { return p.soundsCompleted == 4; }));
    EXPECT_GT(CurrentPlayback().buffersFilled, afterSound + 1);
}

// Each call frees the bytes of the sound it cuts while the audio thread keeps reading;
// under AddressSanitizer this shows the thread never reads freed bytes.
TEST_F(Player, RapidCutsAndTwoShutdownsAreSafe) {
    for (int i = 0; i < 300; ++i) {
        PlaySoundResource(kFirst + (i * 7) % 17, kPlayAsync);
        if (i % 20 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    EXPECT_EQ(CurrentPlayback().soundsStarted, 300u);
    ShutdownAudio();
    ShutdownAudio();
    EXPECT_FALSE(CurrentPlayback().deviceOpen);
    PlaySoundResource(105, kPlayAsync);  // the next sound opens the device again
    EXPECT_TRUE(CurrentPlayback().deviceOpen);
    EXPECT_EQ(CurrentPlayback().soundId, 105);
}

// Without a device every sound is silent and nothing is printed; with no driver named SDL
// tries the machine's own, and ALSA's complaints about a missing card stay quiet too.
TEST(PlayerWithoutDevice, SoundsAreSilentAndNothingIsPrinted) {
    for (const char* driver : {"korvane-no-such-driver", static_cast<const char*>(nullptr)}) {
        ShutdownAudio();
        driver ? setenv("SDL_AUDIODRIVER", driver, 1) : unsetenv("SDL_AUDIODRIVER");
        ::testing::internal::CaptureStdout();
        ::testing::internal::CaptureStderr();
        const bool opened = InitAudio();
        if (!opened) {
            PlaySoundResource(103, kPlaySync);
            EXPECT_FALSE(CurrentPlayback().deviceOpen);
            EXPECT_EQ(CurrentPlayback().soundsStarted, 0u);
        }
        ShutdownAudio();
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
        if (driver) {
            EXPECT_FALSE(opened);
        }
    }
}

}  // namespace
}  // namespace korvane::sound
