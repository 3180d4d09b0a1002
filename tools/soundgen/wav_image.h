#pragma once
// WAV images in the one layout the game stores its sounds in: RIFF "WAVE" with a "fmt "
// chunk (PCM, mono, 8-bit unsigned), a "fact" chunk and a "data" chunk, in that order.

#include <cstdint>
#include <vector>

#include "synth.h"

namespace korvane::soundgen {

// Samples in [-1, 1] become unsigned bytes around the silent value 128.
std::vector<uint8_t> QuantizeU8(const Track& track);

std::vector<uint8_t> WavImage(const std::vector<uint8_t>& data, uint32_t sampleRate);

}  // namespace korvane::soundgen
