#pragma once
// The sprite bitmaps of the main window, made once at start-up.

#include "sprite.h"

namespace korvane {

struct Sprites {
    Sprite picHalcyra;
    Sprite picHalcyraerase;
    Sprite picVessikship;
    Sprite picVessikship3;
    Sprite picVessikshiperase;
    Sprite piccrosshairs;
    Sprite piccrosshairserase;
    Sprite pictorpedox;
    Sprite pictorpedoplus;
    Sprite pictorpedoerase;
};

const Sprites& GameSprites();

// Exposed for tests.
Sprite SpriteFromXpm(const char* const* xpm);
Sprite SolidSprite(int width, int height, Color c);
Sprite MakeVessikShip();
Sprite MakeWreckedVessikShip();

constexpr int kCubeSize = 101;
constexpr int kWreckedCubeBlackPixels = 2495;

}  // namespace korvane
