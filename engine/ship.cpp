// The player's ship and the phaser crosshairs: commands only set directions or a target;
// these phases move both one pixel on every other frame and keep them in range.

#include "game.h"

namespace korvane {

namespace {
constexpr int kShipMinX = 0;
constexpr int kShipMaxX = 630;
constexpr int kCrossMinX = 3;
constexpr int kCrossMaxX = 638;
constexpr int kCrossMinY = 3;
constexpr int kCrossMaxY = 446;
}  // namespace

void Game::Steer(int16_t& d, int s) {
    if (d == 0) d = static_cast<int16_t>(s);
    if (d == -s) d = 0;
}

void Game::ApplyTargetRule() {
    GameState& s = state_;
    if (s.targetx > -1) {
        s.targetx = kNoTarget;
        s.targety = kNoTarget;
        s.crossxdelta = 0;
        s.crossydelta = 0;
    }
}

void Game::CrosshairPhase() {
    GameState& s = state_;
    if (!s.oddturn) {
        if (s.targetx > -1) {
            if (s.targetx < s.crossx) s.crossxdelta = -1;
            if (s.targetx > s.crossx) s.crossxdelta = 1;
            if (s.targety > s.crossy) s.crossydelta = 1;
            if (s.targety < s.crossy) s.crossydelta = -1;
            if (s.targetx == s.crossx) s.crossxdelta = 0;
            if (s.targety == s.crossy) s.crossydelta = 0;
            if (s.crossx == s.targetx && s.crossy == s.targety) {
                s.targetx = kNoTarget;
                s.targety = kNoTarget;
            }
        }
        if (s.crossxdelta != 0 || s.crossydelta != 0) {
            EraseCrosshairs();
            s.crossx = static_cast<int16_t>(s.crossx + s.crossxdelta);
            s.crossy = static_cast<int16_t>(s.crossy + s.crossydelta);
        }
    }
    // A bound stops the crosshairs one pixel inside it and drops any target.
    auto stop = [&s](int16_t& coordinate, int16_t putBack) {
        s.crossxdelta = 0;
        s.crossydelta = 0;
        s.targetx = kNoTarget;
        s.targety = kNoTarget;
        coordinate = putBack;
    };
    if (s.crossy > kCrossMaxY) stop(s.crossy, kCrossMaxY - 1);
    if (s.crossy < kCrossMinY) stop(s.crossy, kCrossMinY + 1);
    if (s.crossx > kCrossMaxX) stop(s.crossx, kCrossMaxX - 1);
    if (s.crossx < kCrossMinX) stop(s.crossx, kCrossMinX + 1);
    DrawCrosshairs();
}

void Game::ShipRepaint() {
    GameState& s = state_;
    // A pixel that is white in the ship: anything else there means the ship was painted
    // over (or not drawn yet), so it and its shield are drawn again.
    s.zz = static_cast<int32_t>(surface_.GetPixel(s.x + 6, s.y + 14));
    if (s.zz != static_cast<int32_t>(QBColor(15))) {
        DrawHalcyra();
        if (s.shieldsOn) {
            surface_.SelectObject(s.bluepen);
            DrawShieldEllipse();
        }
    }
}

void Game::ShipMove() {
    GameState& s = state_;
    s.shipmoved = false;
    if (!s.oddturn && s.deltax != 0) {
        s.shipmoved = true;
        EraseHalcyra();
        if (s.shieldsOn) {
            surface_.SelectObject(s.blackpen);
            DrawShieldEllipse();
        }
        s.x = static_cast<int16_t>(s.x + s.deltax);
    }
    if (s.x < kShipMinX) {
        s.x = kShipMinX;
        s.deltax = 0;
    }
    if (s.x > kShipMaxX) {
        s.x = kShipMaxX - 1;  // the right bound puts the ship back to 629
        s.deltax = 0;
    }
    if (s.shipmoved) {
        DrawHalcyra();
        if (s.shieldsOn) {
            surface_.SelectObject(s.bluepen);
            DrawShieldEllipse();
        }
    }
}

}  // namespace korvane
