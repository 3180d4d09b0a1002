// The sound player on SDL's audio. One device is opened on first use and stays open for
// the rest of the program; its callback pulls bytes from the one SoundChannel, which the
// game's thread swaps under the player's lock. That swap is the whole "new sound cuts the
// old one": the very next byte the device asks for is the new sound's first.
//
// While nothing sounds the device's thread sleeps inside the callback until the next sound
// starts, instead of waking every buffer to hand over silence: on a laptop those wake-ups
// cost battery all game long. (SDL 2 keeps a paused device's thread waking just the same,
// so pausing the device would not do.) The sound that wakes it is rendered from its first
// byte, so its start is never clipped.

#define SDL_MAIN_HANDLED
#include "sound_player.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "quiet_alsa.h"
#include "sound_channel.h"

namespace korvane::sound {

namespace {

// How much longer than its own length a synchronous sound may take before the player
// gives up on it: enough for a device that starts late, and a stalled device can never
// freeze the game.
constexpr std::chrono::milliseconds kSyncGrace{1000};

class Player {
  public:
    Player() = default;
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    ~Player() { Shutdown(); }

    bool Open();
    void Shutdown();
    // Returns the sound's length in bytes of the device's format (0: nothing plays).
    std::size_t Play(const std::vector<uint8_t>& image, int soundId, int flags);
    std::chrono::microseconds PlayThen(const std::vector<uint8_t>& image, int soundId, Ended ended);
    void ForgetEnded();
    PlaybackStatus Status();

  private:
    static void SDLCALL Fill(void* userdata, Uint8* stream, int length);
    std::vector<uint8_t> ToDeviceFormat(const std::vector<uint8_t>& image) const;
    std::size_t BytesPerSecond() const;
    void WaitForCompletion(uint64_t completion, std::size_t bytes);

    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec spec_{};
    bool sdlStarted_ = false;
    bool unavailable_ = false;  // tried and failed: stay silent until Shutdown()

    // Shared with the audio thread, under mutex_.
    std::mutex mutex_;
    SoundChannel channel_;
    uint64_t completions_ = 0;
    uint64_t buffersFilled_ = 0;
    bool closing_ = false;  // the device is closing: the callback may no longer sleep
    std::condition_variable soundStarted_;      // wakes the sleeping callback
    std::condition_variable completionSignal_;  // wakes a caller waiting for a sound's end
    // A caller told of a sound's end: at that completion, then after one more buffer, by
    // which the device has played the sound's last bytes.
    Ended ended_;
    uint64_t endedCompletion_ = 0;
    bool endedDue_ = false;
};

bool Player::Open() {
    if (device_ != 0) return true;
    if (unavailable_) return false;

    // Left to itself SDL takes over SIGINT and SIGTERM, and Ctrl-C would no longer end
    // the game.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetMainReady();
    SilenceAlsaMessages();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        unavailable_ = true;
        RestoreAlsaMessages();
        return false;
    }
    sdlStarted_ = true;

    // Every sound is mono and 22050 Hz at most; the device may pick anything else and
    // each sound is converted to whatever it picked.
    SDL_AudioSpec want{};
    want.freq = 22050;
    want.format = AUDIO_S16SYS;
    want.channels = 1;
    want.samples = 512;  // about 23 ms: a sound starts and stops with the key press
    want.callback = &Player::Fill;
    want.userdata = this;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &spec_, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device_ == 0) {
        unavailable_ = true;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlStarted_ = false;
        RestoreAlsaMessages();
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        completions_ = channel_.completed();
        closing_ = false;
    }
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void Player::Shutdown() {
    if (device_ != 0) {
        {
            // Closing waits for the callback to return: it must not sleep meanwhile.
            std::lock_guard lock(mutex_);
            closing_ = true;
        }
        soundStarted_.notify_all();
        SDL_CloseAudioDevice(device_);  // returns once the callback can no longer run
        device_ = 0;
    }
    std::lock_guard lock(mutex_);
    channel_ = SoundChannel{};
    closing_ = false;
    ended_ = nullptr;
    endedDue_ = false;
    if (sdlStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        sdlStarted_ = false;
        RestoreAlsaMessages();
    }
    unavailable_ = false;
    spec_ = SDL_AudioSpec{};
    completions_ = 0;
    buffersFilled_ = 0;
}

void SDLCALL Player::Fill(void* userdata, Uint8* stream, int length) {
    auto* self = static_cast<Player*>(userdata);
    std::unique_lock lock(self->mutex_);
    // The buffer that ended the last sound has gone to the device; until the next sound
    // there is nothing to play, and nothing to wake for.
    self->soundStarted_.wait(lock, [self] {
        return self->channel_.playing() || self->closing_ || self->endedDue_;
    });
    if (self->endedDue_) {
        // The device asks for the buffer after the one that held the sound's last bytes.
        self->endedDue_ = false;
        if (const Ended ended = std::exchange(self->ended_, nullptr)) ended();
    }
    ++self->buffersFilled_;
    if (self->channel_.Render(stream, static_cast<std::size_t>(length), self->spec_.silence)) {
        self->completions_ = self->channel_.completed();
        if (self->ended_ && self->completions_ >= self->endedCompletion_) self->endedDue_ = true;
        lock.unlock();
        self->completionSignal_.notify_all();
    }
}

std::size_t Player::BytesPerSecond() const {
    return static_cast<std::size_t>(SDL_AUDIO_BITSIZE(spec_.format) / 8) * spec_.channels *
           static_cast<std::size_t>(spec_.freq);
}

std::vector<uint8_t> Player::ToDeviceFormat(const std::vector<uint8_t>& image) const {
    std::vector<uint8_t> converted;
    if (image.empty()) return converted;
    SDL_RWops* source = SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()));
    if (source == nullptr) return converted;
    SDL_AudioSpec wav{};
    Uint8* samples = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(source, 1, &wav, &samples, &length) == nullptr) return converted;

    SDL_AudioCVT cvt;
    const int built = SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, spec_.format,
                                        spec_.channels, spec_.freq);
    if (built >= 0) {
        converted.resize(static_cast<std::size_t>(length) * static_cast<std::size_t>(cvt.len_mult));
        std::copy(samples, samples + length, converted.begin());
        cvt.buf = converted.data();
        cvt.len = static_cast<int>(length);
        if (built == 0 || SDL_ConvertAudio(&cvt) == 0) {
            converted.resize(static_cast<std::size_t>(built == 0 ? length : cvt.len_cvt));
        } else {
            converted.clear();
        }
    }
    SDL_FreeWAV(samples);
    return converted;
}

std::size_t Player::Play(const std::vector<uint8_t>& image, int soundId, int flags) {
    if (!Open()) return 0;
    std::vector<uint8_t> bytes = ToDeviceFormat(image);
    const std::size_t length = bytes.size();

    uint64_t completion = 0;
    {
        // The old sound's bytes are freed at the end of this block, after the lock is
        // released, so the audio thread never waits on a large free.
        std::vector<uint8_t> previous;
        {
            std::lock_guard lock(mutex_);
            // A sound that cannot be played still stops the one playing, as any new sound
            // does.
            previous = length > 0 ? channel_.Start(std::move(bytes), soundId) : channel_.Stop();
            completion = channel_.completed() + 1;
        }
        soundStarted_.notify_all();
    }

    if ((flags & kPlayAsync) == 0 && length > 0) WaitForCompletion(completion, length);
    return length;
}

std::chrono::microseconds Player::PlayThen(const std::vector<uint8_t>& image, int soundId,
                                           Ended ended) {
    {
        std::lock_guard lock(mutex_);
        // Set before the sound starts, so that its end cannot come first.
        ended_ = std::move(ended);
        endedCompletion_ = channel_.completed() + 1;
        endedDue_ = false;
    }
    const std::size_t bytes = Play(image, soundId, kPlayAsync);
    const std::size_t rate = device_ != 0 ? BytesPerSecond() : 0;
    if (bytes == 0 || rate == 0) {
        ForgetEnded();
        return std::chrono::microseconds(0);
    }
    return std::chrono::microseconds(bytes * 1000000 / rate);
}

void Player::ForgetEnded() {
    // Under the lock the device's thread calls it with: once this returns, it is not called.
    std::lock_guard lock(mutex_);
    ended_ = nullptr;
    endedDue_ = false;
}

void Player::WaitForCompletion(uint64_t completion, std::size_t bytes) {
    const std::size_t rate = BytesPerSecond();
    if (rate == 0) return;
    using Clock = std::chrono::steady_clock;
    const auto soundLength = std::chrono::microseconds(bytes * 1000000 / rate);
    const auto deadline = Clock::now() + soundLength + kSyncGrace;
    std::unique_lock lock(mutex_);
    const bool ended =
        completionSignal_.wait_until(lock, deadline, [&] { return completions_ >= completion; });
    lock.unlock();
    // The last bytes have gone to the device, which still has them to play.
    if (ended) {
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<long long>(spec_.samples) * 1000000 / spec_.freq));
    }
}

PlaybackStatus Player::Status() {
    PlaybackStatus status;
    if (device_ == 0) return status;
    status.deviceOpen = true;
    status.bytesPerSecond = BytesPerSecond();
    std::lock_guard lock(mutex_);
    status.soundId = channel_.soundId();
    status.bytesPlayed = channel_.position();
    status.bytesTotal = channel_.length();
    status.soundsStarted = channel_.started();
    status.soundsCompleted = channel_.completed();
    status.buffersFilled = buffersFilled_;
    return status;
}

Player& ThePlayer() {
    static Player player;
    return player;
}

}  // namespace

void PlaySoundResource(int soundid, int playflags) {
    ThePlayer().Play(LoadResData(soundid), soundid, playflags);
}

std::chrono::microseconds PlaySoundThen(int soundid, Ended ended) {
    return ThePlayer().PlayThen(LoadResData(soundid), soundid, std::move(ended));
}

void ForgetEnded() {
    ThePlayer().ForgetEnded();
}

bool InitAudio() {
    return ThePlayer().Open();
}

void ShutdownAudio() {
    ThePlayer().Shutdown();
}

PlaybackStatus CurrentPlayback() {
    return ThePlayer().Status();
}

}  // namespace korvane::sound
