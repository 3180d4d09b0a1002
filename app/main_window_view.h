#pragma once
// The main window frmKorvane: the viewscreen, the column of buttons and read-outs on its
// left, the torpedo indicators and the high score below the viewscreen, built from its
// description. What the buttons do is wired elsewhere; this is the window and its initial
// state.

#include <QWidget>
#include <array>
#include <functional>
#include <string_view>

#include "buttons.h"

class QPushButton;
class QRadioButton;

namespace korvane {

class Viewscreen;

// The controls that the program sets or wires.
struct MainWindowControls {
    Viewscreen* Picture1 = nullptr;
    // The torpedo indicators Option1 to Option3.
    std::array<QRadioButton*, 3> options{};
    // The buttons, in the order of the button table.
    std::array<QPushButton*, kButtonCount> buttons{};

    QPushButton* button(std::string_view name) const;
};

class MainWindow : public QWidget {
  public:
    MainWindow();

    const MainWindowControls& controls() const { return c_; }

    // Every control back to its state when the window is loaded: play controls disabled,
    // torpedo indicators off, read-outs empty, the sound caption as designed, the focus on
    // the viewscreen.
    void ResetControls();
    void SetPlayControlsEnabled(bool enabled);

    // The user or the system closes the window.
    std::function<void()> onClose;
    // The window was minimised or restored.
    std::function<void(bool minimised)> onMinimisedChanged;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    MainWindowControls c_;
};

}  // namespace korvane
