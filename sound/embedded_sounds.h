#pragma once
// The WAV images that the build synthesizes (tools/soundgen) and compiles into the game.

#include <cstddef>

namespace korvane::sound {

struct EmbeddedSound {
    int id;
    const unsigned char* bytes;
    std::size_t size;
};

extern const EmbeddedSound kEmbeddedSounds[];
extern const std::size_t kEmbeddedSoundCount;

}  // namespace korvane::sound
