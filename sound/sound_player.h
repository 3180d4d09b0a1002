#pragma once
// The game's sound player: the seventeen embedded sound effects, played from memory one
// at a time through SDL's audio. With no sound device everything is silent and nothing
// waits, so the game plays on as before.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane::sound {

// Play flags, with the values the callers pass and combine.
inline constexpr int kPlaySync = 0;        // return when the sound has ended
inline constexpr int kPlayAsync = 1;       // return at once while the sound plays
inline constexpr int kPlayNoDefault = 2;   // no stand-in beep when a sound cannot play
inline constexpr int kPlayFromMemory = 4;  // the sound is an image in memory

// The embedded WAV image of sound `id` (resource type "CUSTOM", ids 101 to 117); empty
// for any other id.
std::vector<uint8_t> LoadResData(int id);

// Plays sound `soundid`. The call itself stops the sound still playing, at once, and
// starts this one from its beginning. Without kPlayAsync in `playflags` it returns when
// the sound has ended. An unknown id, or no sound device, plays nothing and never waits.
void PlaySoundResource(int soundid, int playflags = kPlayNoDefault | kPlayFromMemory);

// Opens the sound device now rather than at the first sound. False when there is none,
// in which case every sound is silent until ShutdownAudio() lets the next call try again.
bool InitAudio();

// Stops the sound, closes the device and releases SDL's audio. Safe to call again, and
// safe when no device was ever opened. Called once at the end of the program.
void ShutdownAudio();

// The bytes of the sound loaded last, which stay alive until the next call.
const std::vector<uint8_t>& LastSoundData();

// What the device is playing, for tests and diagnostics. Positions are in bytes of the
// device's own format, as handed to the device.
struct PlaybackStatus {
    bool deviceOpen = false;
    int soundId = 0;              // sound being played, 0 when the device plays silence
    std::size_t bytesPlayed = 0;  // of that sound
    std::size_t bytesTotal = 0;
    std::size_t bytesPerSecond = 0;  // of the device
    uint64_t soundsStarted = 0;      // since the device opened
    uint64_t soundsCompleted = 0;    // sounds that played to their very end
};
PlaybackStatus CurrentPlayback();

}  // namespace korvane::sound
