#pragma once
// The one channel the game's sounds share. The audio device pulls bytes from it; starting
// a sound replaces the one in it, so the next byte the device takes is the new sound's
// first. Not thread-safe by itself: the player guards it with the device's lock.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane::sound {

class SoundChannel {
  public:
    // Puts `bytes` (already in the device's format) in the channel, from their start.
    // Returns the bytes of the sound that was there, so that the caller can free them
    // after it has let go of the device's lock.
    std::vector<uint8_t> Start(std::vector<uint8_t> bytes, int soundId);
    std::vector<uint8_t> Stop();

    // Fills `out` with the next `length` bytes of the sound, then with `silence`.
    // Returns true when the sound reached its end during this call.
    bool Render(uint8_t* out, std::size_t length, uint8_t silence);

    int soundId() const { return playing() ? soundId_ : 0; }
    bool playing() const { return position_ < bytes_.size(); }
    std::size_t position() const { return position_; }
    std::size_t length() const { return bytes_.size(); }
    uint64_t started() const { return started_; }
    uint64_t completed() const { return completed_; }

  private:
    std::vector<uint8_t> bytes_;
    std::size_t position_ = 0;
    int soundId_ = 0;
    uint64_t started_ = 0;
    uint64_t completed_ = 0;
};

}  // namespace korvane::sound
