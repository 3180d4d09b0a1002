// LoadResData: the game's sounds are compiled in, so loading one cannot fail for lack of
// a file and nothing is read from disk while the game runs.

#include <span>

#include "embedded_sounds.h"
#include "sound_player.h"

namespace korvane::sound {

std::vector<uint8_t> LoadResData(int id) {
    for (const EmbeddedSound& sound : std::span(kEmbeddedSounds, kEmbeddedSoundCount)) {
        if (sound.id == id) return {sound.bytes, sound.bytes + sound.size};
    }
    return {};
}

}  // namespace korvane::sound
