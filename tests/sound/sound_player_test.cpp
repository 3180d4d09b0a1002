// The player on a running audio device (SDL's dummy driver keeps real time without a
// sound card), and without any device at all. What is playing is read through
// CurrentPlayback(), so no test depends on how fast this machine is.

#include "sound_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "sound_ids.h"
#include "wav_reader.h"

namespace korvane::sound {
namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double LengthInSeconds(const PlaybackStatus& s) {
    return static_cast<double>(s.bytesTotal) / static_cast<double>(s.bytesPerSecond);
}

// Polls the player until `done` holds; false if it never does within a generous limit.
bool WaitFor(const std::function<bool(const PlaybackStatus&)>& done) {
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < limit) {
        if (done(CurrentPlayback())) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

class PlayerOnDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        ShutdownAudio();
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(InitAudio());
    }
    void TearDown() override { ShutdownAudio(); }
};

TEST_F(PlayerOnDevice, AnAsynchronousSoundIsStillPlayingWhenTheCallReturns) {
    PlaySoundResource(kSoundShieldShot, kPlayAsync);
    const PlaybackStatus now = CurrentPlayback();
    EXPECT_EQ(now.soundId, kSoundShieldShot);
    EXPECT_LT(now.bytesPlayed, now.bytesTotal);
    EXPECT_EQ(now.soundsCompleted, 0u);
    // And the device really is playing it.
    EXPECT_TRUE(WaitFor([](const PlaybackStatus& s) { return s.bytesPlayed > 0; }));
}

TEST_F(PlayerOnDevice, ASynchronousSoundReturnsOnlyWhenItHasEnded) {
    const auto start = Clock::now();
    PlaySoundResource(kSoundShields, kPlaySync);
    const double elapsed = Seconds(Clock::now() - start);

    const PlaybackStatus after = CurrentPlayback();
    EXPECT_EQ(after.soundsCompleted, 1u);
    EXPECT_EQ(after.bytesPlayed, after.bytesTotal);
    EXPECT_EQ(after.soundId, 0);
    EXPECT_GE(elapsed, 0.95 * LengthInSeconds(after));
}

TEST_F(PlayerOnDevice, WithoutFlagsASoundPlaysSynchronously) {
    PlaySoundResource(kSoundTorpedoLaunch);
    EXPECT_EQ(CurrentPlayback().soundsCompleted, 1u);
}

TEST_F(PlayerOnDevice, TheVictoryExplosionsPlayOneAfterTheOtherInFull) {
    const auto start = Clock::now();
    for (int ring = 0; ring < 3; ++ring) PlaySoundResource(kSoundExplosion, kPlaySync);
    const double elapsed = Seconds(Clock::now() - start);
    const PlaybackStatus after = CurrentPlayback();
    EXPECT_EQ(after.soundsStarted, 3u);
    EXPECT_EQ(after.soundsCompleted, 3u);
    EXPECT_GE(elapsed, 3 * 0.95 * LengthInSeconds(after));
}

TEST_F(PlayerOnDevice, ANewSoundCutsTheOldOneAtOnce) {
    PlaySoundResource(kSoundPhasers, kPlayAsync);
    ASSERT_TRUE(WaitFor([](const PlaybackStatus& s) { return s.bytesPlayed > 0; }));

    PlaySoundResource(kSoundTorpedoLaunch, kPlayAsync);
    const PlaybackStatus cut = CurrentPlayback();
    EXPECT_EQ(cut.soundId, kSoundTorpedoLaunch);
    EXPECT_LT(cut.bytesPlayed, cut.bytesTotal / 2);
    EXPECT_EQ(cut.soundsStarted, 2u);

    // Once the launch has ended the device is silent: the phasers do not come back.
    ASSERT_TRUE(WaitFor([](const PlaybackStatus& s) { return s.soundsCompleted == 1; }));
    EXPECT_EQ(CurrentPlayback().soundId, 0);
}

TEST_F(PlayerOnDevice, TheSameSoundAgainRestartsFromItsBeginning) {
    PlaySoundResource(kSoundSuperWeapon, kPlayAsync);
    ASSERT_TRUE(WaitFor([](const PlaybackStatus& s) { return s.bytesPlayed > s.bytesTotal / 4; }));
    const std::size_t reached = CurrentPlayback().bytesPlayed;

    PlaySoundResource(kSoundSuperWeapon, kPlayAsync);
    const PlaybackStatus again = CurrentPlayback();
    EXPECT_EQ(again.soundId, kSoundSuperWeapon);
    EXPECT_LT(again.bytesPlayed, reached);
    EXPECT_EQ(again.soundsStarted, 2u);
}

TEST_F(PlayerOnDevice, EverySoundPlaysForItsOwnLength) {
    for (int id = kFirstSoundId; id <= kLastSoundId; ++id) {
        SCOPED_TRACE("sound " + std::to_string(id));
        PlaySoundResource(id, kPlayAsync);
        const PlaybackStatus s = CurrentPlayback();
        ASSERT_EQ(s.soundId, id) << "the device could not take this sound";
        const testing::WavImage wav = testing::ReadWav(LoadResData(id));
        const double seconds = static_cast<double>(wav.data.size()) / wav.sampleRate;
        EXPECT_NEAR(LengthInSeconds(s), seconds, 0.01 * seconds);
    }
}

TEST_F(PlayerOnDevice, AnUnknownSoundStopsTheOnePlayingAndNeverWaits) {
    PlaySoundResource(kSoundGameStart, kPlayAsync);
    PlaySoundResource(99, kPlaySync);
    const PlaybackStatus s = CurrentPlayback();
    EXPECT_EQ(s.soundId, 0);
    EXPECT_EQ(s.soundsCompleted, 0u);
}

// Each call frees the bytes of the sound it cuts while the audio thread keeps reading;
// run under AddressSanitizer this shows the thread never reads freed bytes.
TEST_F(PlayerOnDevice, RapidCutsKeepThePlayingBytesAlive) {
    constexpr int kCalls = 300;
    int last = 0;
    for (int i = 0; i < kCalls; ++i) {
        last = kFirstSoundId + (i * 7) % 17;
        PlaySoundResource(last, kPlayAsync);
        if (i % 20 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(3));
    }
    const PlaybackStatus s = CurrentPlayback();
    EXPECT_EQ(s.soundsStarted, static_cast<uint64_t>(kCalls));
    EXPECT_EQ(s.soundId, last);
    EXPECT_TRUE(WaitFor([](const PlaybackStatus& p) { return p.bytesPlayed > 0; }));
}

TEST_F(PlayerOnDevice, ShutdownTwiceIsSafeAndTheNextSoundOpensTheDeviceAgain) {
    PlaySoundResource(kSoundGameStart, kPlayAsync);
    ShutdownAudio();
    ShutdownAudio();
    EXPECT_FALSE(CurrentPlayback().deviceOpen);

    PlaySoundResource(kSoundGameStopped, kPlayAsync);
    const PlaybackStatus s = CurrentPlayback();
    EXPECT_TRUE(s.deviceOpen);
    EXPECT_EQ(s.soundId, kSoundGameStopped);
    EXPECT_EQ(s.soundsStarted, 1u);
}

// --- No sound device ---------------------------------------------------------------------

class PlayerWithoutDevice : public ::testing::Test {
  protected:
    void SetUp() override {
        ShutdownAudio();
        setenv("SDL_AUDIODRIVER", "korvane-no-such-driver", 1);
    }
    void TearDown() override { ShutdownAudio(); }
};

TEST_F(PlayerWithoutDevice, EverySoundIsSilentAndNothingWaitsOrPrints) {
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(InitAudio());
    const auto start = Clock::now();
    PlaySoundResource(kSoundGameStart, kPlaySync);  // 4.3 s on a device
    PlaySoundResource(kSoundVictory);               // 2.9 s, synchronous by default
    const double elapsed = Seconds(Clock::now() - start);
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();

    EXPECT_LT(elapsed, 2.0) << "a synchronous play must not wait without a device";
    EXPECT_FALSE(CurrentPlayback().deviceOpen);
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "");
}

// With no driver named, SDL tries the machine's own (a sound server, ALSA). Whether or not
// one answers, the player prints nothing: ALSA's complaints about a missing card included.
TEST_F(PlayerWithoutDevice, TheMachinesOwnDriverOpensOrFailsWithoutPrinting) {
    unsetenv("SDL_AUDIODRIVER");
    ::testing::internal::CaptureStdout();
    ::testing::internal::CaptureStderr();
    const bool opened = InitAudio();
    ShutdownAudio();
    const std::string out = ::testing::internal::GetCapturedStdout();
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "");
    EXPECT_EQ(err, "") << (opened ? "device opened" : "no device");
}

}  // namespace
}  // namespace korvane::sound
