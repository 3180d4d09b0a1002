#pragma once
// The game's sound player: the seventeen embedded sound effects, played from memory one
// at a time through SDL's audio. With no sound device everything is silent and nothing
// waits, so the game plays on as before.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace korvane::sound {

// Play flags: by default a call returns when its sound has ended.
inline constexpr int kPlaySync = 0;
inline constexpr int kPlayAsync = 1;  // return at once while the sound plays

// The embedded WAV image of sound `id` (resource type "CUSTOM", ids 101 to 117); empty
// for any other id.
std::vector<uint8_t> LoadResData(int id);

// Plays sound `soundid`. The call itself stops the sound still playing, at once, and
// starts this one from its beginning. Without kPlayAsync in `playflags` it returns when
// the sound has ended. An unknown id, or no sound device, plays nothing and never waits.
void PlaySoundResource(int soundid, int playflags = kPlaySync);

// A sound that a caller waits for without blocking (a window that goes on handling its
// events): played as with kPlayAsync, and `ended` is called once, on the sound device's
// thread, when the device has played the sound's last bytes. Returns the sound's length;
// zero, and `ended` is never called, when nothing plays (an unknown id, no device). A
// stalled device never calls it: the caller gives up on its own after the length.
using Ended = std::function<void()>;
std::chrono::microseconds PlaySoundThen(int soundid, Ended ended);
// Drops the `ended` still to come: once this returns it is not called.
void ForgetEnded();

// Opens the sound device now rather than at the first sound. False when there is none,
// in which case every sound is silent until ShutdownAudio() lets the next call try again.
// The player prints nothing either way; telling the player is the program's business.
bool InitAudio();

// Stops the sound, closes the device and shuts SDL's audio subsystem down (only that). Safe to call
// again, and safe when no device was ever opened. Called once at the end of the program.
void ShutdownAudio();

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
    uint64_t buffersFilled = 0;      // buffers the device has taken since it opened
};
PlaybackStatus CurrentPlayback();

}  // namespace korvane::sound
