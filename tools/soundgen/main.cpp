// korvane_soundgen: synthesizes the game's sound effects.
//
//   korvane_soundgen --cpp FILE   writes them as a C++ source of WAV images for the game
//   korvane_soundgen --wav DIR    writes them as sound_101.wav ... sound_117.wav to listen to
//
// The build runs the first form, so the program carries its sounds inside it and reads no
// sound file when it runs.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "recipes.h"
#include "wav_image.h"

namespace {

using korvane::soundgen::Recipe;

std::vector<uint8_t> Render(const Recipe& recipe) {
    korvane::soundgen::Track track(recipe.sampleRate, recipe.sampleCount);
    recipe.make(track);
    return korvane::soundgen::WavImage(korvane::soundgen::QuantizeU8(track), recipe.sampleRate);
}

bool WriteSource(const std::filesystem::path& path) {
    std::string text =
        "// Made by korvane_soundgen at build time: the game's sounds as WAV images.\n"
        "// Do not edit; change tools/soundgen and rebuild.\n\n"
        "#include \"embedded_sounds.h\"\n\n"
        "namespace korvane::sound {\n\nnamespace {\n\n";
    for (const Recipe& recipe : korvane::soundgen::Recipes()) {
        const std::vector<uint8_t> image = Render(recipe);
        text += "// " + std::to_string(recipe.id) + ": " + recipe.name + "\n";
        text += "const unsigned char kSound" + std::to_string(recipe.id) + "[] = {";
        for (std::size_t i = 0; i < image.size(); ++i) {
            text += i % 24 == 0 ? "\n    " : " ";
            text += std::to_string(image[i]);
            text += ',';
        }
        text += "\n};\n\n";
    }
    text += "}  // namespace\n\nconst EmbeddedSound kEmbeddedSounds[] = {\n";
    for (const Recipe& recipe : korvane::soundgen::Recipes()) {
        const std::string id = std::to_string(recipe.id);
        text += "    {" + id + ", kSound" + id + ", sizeof kSound" + id + "},\n";
    }
    text += "};\n\nconst std::size_t kEmbeddedSoundCount = " +
            std::to_string(korvane::soundgen::Recipes().size()) +
            ";\n\n}  // namespace korvane::sound\n";

    // Written beside the target and renamed, so an interrupted build never leaves half a
    // source behind that looks finished.
    const std::filesystem::path partial = path.string() + ".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        out << text;
        if (!out.flush()) return false;
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    return !error;
}

bool WriteWavFiles(const std::filesystem::path& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    for (const Recipe& recipe : korvane::soundgen::Recipes()) {
        const std::vector<uint8_t> image = Render(recipe);
        std::ofstream out(dir / ("sound_" + std::to_string(recipe.id) + ".wav"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(image.data()),
                  static_cast<std::streamsize>(image.size()));
        if (!out.flush()) return false;
    }
    return true;
}

int Usage() {
    std::fputs("usage: korvane_soundgen --cpp FILE | --wav DIR\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Usage();
    const std::string_view mode = argv[1];
    bool ok = false;
    if (mode == "--cpp") {
        ok = WriteSource(argv[2]);
    } else if (mode == "--wav") {
        ok = WriteWavFiles(argv[2]);
    } else {
        return Usage();
    }
    if (!ok) {
        std::fprintf(stderr, "korvane_soundgen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
