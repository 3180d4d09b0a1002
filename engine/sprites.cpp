#include "sprites.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "crosshairs.xpm"
#include "halcyra.xpm"
#include "random.h"
#include "torpedo_plus.xpm"
#include "torpedo_x.xpm"

namespace korvane {

Sprite SpriteFromXpm(const char* const* xpm) {
    int width = 0, height = 0, colors = 0, chars = 0;
    std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colors, &chars);
    std::map<char, Color> key;
    for (int i = 1; i <= colors; ++i) {
        const char* line = xpm[i];
        const char* hex = std::strchr(line + 1, '#');  // past the key character
        const auto rgb = static_cast<uint32_t>(std::strtoul(hex + 1, nullptr, 16));
        key[line[0]] = Rgb((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
    }
    std::vector<Color> pixels;
    pixels.reserve(static_cast<size_t>(width * height));
    for (int row = 0; row < height; ++row) {
        const char* line = xpm[1 + colors + row];
        for (int col = 0; col < width; ++col) pixels.push_back(key[line[col]]);
    }
    return Sprite(width, height, std::move(pixels));
}

Sprite SolidSprite(int width, int height, Color c) {
    return Sprite(width, height, std::vector<Color>(static_cast<size_t>(width * height), c));
}

namespace {

std::vector<Color> VessikShipPixels() {
    std::vector<Color> pixels(static_cast<size_t>(kCubeSize * kCubeSize), kTeal);
    for (int row = 0; row < kCubeSize; ++row) {
        for (int col = 0; col < kCubeSize; ++col) {
            const bool border =
                row == 0 || col == 0 || row == kCubeSize - 1 || col == kCubeSize - 1;
            const bool dot =
                row >= 2 && row <= 98 && col >= 2 && col <= 98 && row % 2 == 0 && col % 2 == 0;
            if (border || dot) pixels[static_cast<size_t>(row * kCubeSize + col)] = kGrey;
        }
    }
    return pixels;
}

}  // namespace

Sprite MakeVessikShip() {
    return Sprite(kCubeSize, kCubeSize, VessikShipPixels());
}

// The wrecked cube: blast holes grown pixel by pixel from random centres until exactly
// kWreckedCubeBlackPixels interior pixels are black. A fixed seed keeps the wreck the same
// on every run.
Sprite MakeWreckedVessikShip() {
    std::vector<Color> pixels = VessikShipPixels();
    Random random;
    random.Seed(0x5EC7'C0BE'2000ull);
    std::vector<bool> black(static_cast<size_t>(kCubeSize * kCubeSize), false);
    auto interior = [](int col, int row) {
        return col >= 1 && col <= kCubeSize - 2 && row >= 1 && row <= kCubeSize - 2;
    };
    int count = 0;
    while (count < kWreckedCubeBlackPixels) {
        int col = 1 + random.Rand(kCubeSize - 2);
        int row = 1 + random.Rand(kCubeSize - 2);
        const int patch = 40 + random.Rand(260);
        for (int step = 0; step < patch * 3 && count < kWreckedCubeBlackPixels; ++step) {
            const auto i = static_cast<size_t>(row * kCubeSize + col);
            if (!black[i]) {
                black[i] = true;
                pixels[i] = kBlack;
                ++count;
            }
            // A random walk that stays near the patch makes ragged, irregular holes.
            int nc = col, nr = row;
            switch (random.Rand(4)) {
                case 0:
                    ++nc;
                    break;
                case 1:
                    --nc;
                    break;
                case 2:
                    ++nr;
                    break;
                default:
                    --nr;
                    break;
            }
            if (interior(nc, nr)) {
                col = nc;
                row = nr;
            }
        }
    }
    return Sprite(kCubeSize, kCubeSize, std::move(pixels));
}

const Sprites& GameSprites() {
    static const Sprites sprites = [] {
        Sprites s;
        s.picHalcyra = SpriteFromXpm(halcyra_xpm);
        s.picHalcyraerase = SolidSprite(14, 22, kBlack);
        s.picVessikship = MakeVessikShip();
        s.picVessikship3 = MakeWreckedVessikShip();
        s.picVessikshiperase = SolidSprite(kCubeSize, kCubeSize, kBlack);
        s.piccrosshairs = SpriteFromXpm(crosshairs_xpm);
        s.piccrosshairserase = SolidSprite(9, 9, kBlack);
        s.pictorpedox = SpriteFromXpm(torpedo_x_xpm);
        s.pictorpedoplus = SpriteFromXpm(torpedo_plus_xpm);
        s.pictorpedoerase = SolidSprite(3, 3, kBlack);
        return s;
    }();
    return sprites;
}

}  // namespace korvane
