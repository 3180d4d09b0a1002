#pragma once
// The game's sound player: the seventeen embedded sound effects, played from memory one
// at a time through SDL's audio. With no sound device everything is silent and nothing
// waits, so the game plays on as before.

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

// What a caller does while it waits for a sound's end, called every few milliseconds (a
// window keeps handling its events).
using WhileWaiting = std::function<void()>;

// Plays sound `soundid`. The call itself stops the sound still playing, at once, and
// starts this one from its beginning. Without kPlayAsync in `playflags` it returns when
// the sound has ended, running `whileWaiting` meanwhile. An unknown id, or no sound
// device, plays nothing and never waits.
void PlaySoundResource(int soundid, int playflags = kPlaySync,
                       const WhileWaiting& whileWaiting = {});

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
