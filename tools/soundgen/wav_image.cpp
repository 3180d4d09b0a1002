#include "wav_image.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace korvane::soundgen {

std::vector<uint8_t> QuantizeU8(const Track& track) {
    std::vector<uint8_t> bytes;
    bytes.reserve(track.size());
    for (double s : track.samples) {
        const long level = std::lround(std::clamp(s, -1.0, 1.0) * 127.0) + 128;
        bytes.push_back(static_cast<uint8_t>(level));
    }
    return bytes;
}

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutTag(std::vector<uint8_t>& out, std::string_view tag) {
    for (char c : tag) out.push_back(static_cast<uint8_t>(c));
}

}  // namespace

std::vector<uint8_t> WavImage(const std::vector<uint8_t>& data, uint32_t sampleRate) {
    const auto count = static_cast<uint32_t>(data.size());
    // Chunks start on even offsets, so an odd data chunk is followed by one pad byte.
    const uint32_t pad = count % 2;
    std::vector<uint8_t> out;
    out.reserve(44 + 12 + count + pad);
    PutTag(out, "RIFF");
    Put32(out, 4 + (8 + 16) + (8 + 4) + (8 + count + pad));
    PutTag(out, "WAVE");

    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, sampleRate);
    Put32(out, sampleRate);  // bytes per second: one byte per sample
    Put16(out, 1);           // block align
    Put16(out, 8);           // bits per sample

    PutTag(out, "fact");
    Put32(out, 4);
    Put32(out, count);  // samples, one per byte

    PutTag(out, "data");
    Put32(out, count);
    out.insert(out.end(), data.begin(), data.end());
    if (pad) out.push_back(0);
    return out;
}

}  // namespace korvane::soundgen
