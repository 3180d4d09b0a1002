#pragma once
// Reads a WAV image chunk by chunk, independently of the code that wrote it, so the
// tests see the sounds as a player would.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace korvane::sound::testing {

struct WavChunk {
    std::string tag;
    uint32_t size = 0;
};

struct WavImage {
    std::string error;  // empty when the image is well formed
    uint32_t riffSize = 0;
    std::vector<WavChunk> chunks;
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint32_t factSamples = 0;
    std::span<const uint8_t> data;
};

WavImage ReadWav(const std::vector<uint8_t>& bytes);

}  // namespace korvane::sound::testing
