#pragma once
// What each drawing operation, yield and read-out update would have cost on the period PC
// the game was made for, in microseconds. The desktop program waits for real time to catch
// up with the sum, so the star count sets the pace exactly as the game was designed; tests
// and korvane-sim ignore it and run flat out. docs/pacing.md explains the calibration.

namespace korvane::cost {

// One frame's yield to the window system: dispatching its (usually empty) event queue.
constexpr double kYield = 420.0;
// A read-out's text set and redrawn.
constexpr double kReadoutUpdate = 150.0;
// Single-pixel calls go through the device context one at a time.
constexpr double kGetPixel = 10.0;
constexpr double kSetPixel = 5.0;
// Figures: a fixed call cost plus the pixels painted.
constexpr double kBlitCall = 15.0;
constexpr double kBlitPerPixel = 0.02;
constexpr double kLineCall = 10.0;
constexpr double kLinePerPixel = 0.05;
constexpr double kFigureCall = 30.0;     // Circle and Ellipse
constexpr double kFigurePerPixel = 0.3;  // outline and fill alike
constexpr double kClear = 800.0;

}  // namespace korvane::cost
