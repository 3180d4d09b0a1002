#include "sound_channel.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace korvane::sound {

std::vector<uint8_t> SoundChannel::Start(std::vector<uint8_t> bytes, int soundId) {
    std::vector<uint8_t> previous = std::exchange(bytes_, std::move(bytes));
    position_ = 0;
    soundId_ = soundId;
    ++started_;
    return previous;
}

std::vector<uint8_t> SoundChannel::Stop() {
    position_ = 0;
    soundId_ = 0;
    return std::exchange(bytes_, {});
}

bool SoundChannel::Render(uint8_t* out, std::size_t length, uint8_t silence) {
    const bool wasPlaying = playing();
    const std::size_t take = std::min(length, bytes_.size() - position_);
    if (take > 0) std::memcpy(out, bytes_.data() + position_, take);
    std::memset(out + take, silence, length - take);
    position_ += take;
    const bool ended = wasPlaying && !playing();
    if (ended) ++completed_;
    return ended;
}

}  // namespace korvane::sound
