#include "wav_reader.h"

namespace korvane::sound::testing {

namespace {

uint32_t Get32(const std::vector<uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

uint16_t Get16(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

std::string Tag(const std::vector<uint8_t>& b, std::size_t at) {
    return std::string(reinterpret_cast<const char*>(b.data() + at), 4);
}

}  // namespace

WavImage ReadWav(const std::vector<uint8_t>& bytes) {
    WavImage wav;
    if (bytes.size() < 12 || Tag(bytes, 0) != "RIFF" || Tag(bytes, 8) != "WAVE") {
        wav.error = "not a RIFF WAVE image";
        return wav;
    }
    wav.riffSize = Get32(bytes, 4);
    std::size_t at = 12;
    while (at < bytes.size()) {
        if (bytes.size() - at < 8) {
            wav.error = "truncated chunk header";
            return wav;
        }
        WavChunk chunk{Tag(bytes, at), Get32(bytes, at + 4)};
        const std::size_t body = at + 8;
        if (bytes.size() - body < chunk.size) {
            wav.error = "chunk " + chunk.tag + " runs past the end";
            return wav;
        }
        if (chunk.tag == "fmt " && chunk.size >= 16) {
            wav.formatTag = Get16(bytes, body);
            wav.channels = Get16(bytes, body + 2);
            wav.sampleRate = Get32(bytes, body + 4);
            wav.byteRate = Get32(bytes, body + 8);
            wav.blockAlign = Get16(bytes, body + 12);
            wav.bitsPerSample = Get16(bytes, body + 14);
        } else if (chunk.tag == "fact" && chunk.size >= 4) {
            wav.factSamples = Get32(bytes, body);
        } else if (chunk.tag == "data") {
            wav.data = std::span(bytes).subspan(body, chunk.size);
        }
        wav.chunks.push_back(chunk);
        // Chunks sit on even offsets: an odd-sized one is followed by a pad byte.
        at = body + chunk.size + (chunk.size % 2);
    }
    if (at != bytes.size()) wav.error = "pad byte missing after the last chunk";
    return wav;
}

}  // namespace korvane::sound::testing
