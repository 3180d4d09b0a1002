// The channel that the device pulls sound from: exact order, exact cuts.

#include "sound_channel.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace korvane::sound {
namespace {

constexpr uint8_t kSilence = 0x80;

std::vector<uint8_t> Ramp(std::size_t n, uint8_t first) {
    std::vector<uint8_t> bytes(n);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

std::vector<uint8_t> Pull(SoundChannel& channel, std::size_t n, bool* ended = nullptr) {
    std::vector<uint8_t> out(n, 0xEE);
    const bool e = channel.Render(out.data(), n, kSilence);
    if (ended) *ended = e;
    return out;
}

TEST(SoundChannel, PlaysItsBytesInOrderAcrossBuffersThenSilence) {
    SoundChannel channel;
    channel.Start(Ramp(10, 1), 105);
    EXPECT_EQ(channel.soundId(), 105);

    bool ended = true;
    EXPECT_EQ(Pull(channel, 4, &ended), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_FALSE(ended);
    EXPECT_EQ(Pull(channel, 3, &ended), (std::vector<uint8_t>{5, 6, 7}));
    EXPECT_FALSE(ended);
    EXPECT_EQ(channel.position(), 7u);

    // The end falls inside this buffer: the rest of it is silence.
    EXPECT_EQ(Pull(channel, 5, &ended), (std::vector<uint8_t>{8, 9, 10, kSilence, kSilence}));
    EXPECT_TRUE(ended);
    EXPECT_EQ(channel.completed(), 1u);
    EXPECT_EQ(channel.soundId(), 0);

    // Ended once, reported once.
    EXPECT_EQ(Pull(channel, 3, &ended), std::vector<uint8_t>(3, kSilence));
    EXPECT_FALSE(ended);
    EXPECT_EQ(channel.completed(), 1u);
}

TEST(SoundChannel, ANewSoundCutsTheOldOneAtTheNextByte) {
    SoundChannel channel;
    const std::vector<uint8_t> first = Ramp(100, 0);
    channel.Start(first, 105);
    Pull(channel, 7);

    const std::vector<uint8_t> returned = channel.Start(Ramp(5, 200), 110);
    EXPECT_EQ(returned, first) << "the caller gets the old bytes back to free them";
    EXPECT_EQ(channel.soundId(), 110);
    EXPECT_EQ(channel.position(), 0u);

    bool ended = false;
    EXPECT_EQ(Pull(channel, 6, &ended), (std::vector<uint8_t>{200, 201, 202, 203, 204, kSilence}));
    EXPECT_TRUE(ended);
    EXPECT_EQ(channel.started(), 2u);
    EXPECT_EQ(channel.completed(), 1u) << "the cut sound never completed";
}

TEST(SoundChannel, TheSameSoundAgainStartsFromItsBeginning) {
    SoundChannel channel;
    channel.Start(Ramp(8, 10), 111);
    Pull(channel, 5);
    channel.Start(Ramp(8, 10), 111);
    EXPECT_EQ(Pull(channel, 3), (std::vector<uint8_t>{10, 11, 12}));
}

TEST(SoundChannel, StopSilencesWithoutCompleting) {
    SoundChannel channel;
    channel.Start(Ramp(8, 10), 109);
    Pull(channel, 2);
    EXPECT_EQ(channel.Stop().size(), 8u);
    bool ended = true;
    EXPECT_EQ(Pull(channel, 4, &ended), std::vector<uint8_t>(4, kSilence));
    EXPECT_FALSE(ended);
    EXPECT_EQ(channel.completed(), 0u);
    EXPECT_EQ(channel.soundId(), 0);
}

}  // namespace
}  // namespace korvane::sound
