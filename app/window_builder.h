#pragma once
// Builds a Qt window from its description (windows/window_descriptions.h): its name,
// caption, size and look, and every control at its box with its text and font. The views
// then find the controls they wire by name.

class QWidget;

namespace korvane {

struct WindowInfo;

void BuildWindow(QWidget* window, const WindowInfo& info);

}  // namespace korvane
