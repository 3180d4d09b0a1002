#include "main_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "look.h"
#include "texts.h"
#include "viewscreen.h"

namespace korvane {

namespace {

constexpr int kClientWidth = 733;
constexpr int kClientHeight = 512;

}  // namespace

MainWindow::MainWindow() {
    setObjectName(QStringLiteral("frmKorvane"));
    look::SetUpWindow(this, QString::fromLatin1(texts::kMainWindowCaption), kClientWidth,
                      kClientHeight);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);

    // Built first, so that it comes first in the tab order and holds the focus.
    c_.Picture1 = new Viewscreen(this);
    c_.Picture1->setGeometry(80, 8, 642, 482);

    MakeButtons("cmdSound", "cmdStart");
    c_.Label3 = look::MakeLabel(this, "Label3", QStringLiteral("Score  Time"), {0, 112, 57, 17});
    c_.txtScore = look::MakeTextBox(this, "txtScore", {0, 128, 33, 19});
    c_.txtGameTime = look::MakeTextBox(this, "txtGameTime", {40, 128, 33, 19});
    c_.Label2 = look::MakeLabel(this, "Label2", QStringLiteral("phaser crosshairs: (arrow keys)"),
                                {8, 144, 57, 41});
    MakeButtons("cmdXhairup", "cmdPhaser");

    static constexpr std::array<const char*, 3> kBoxNames = {"Picture2", "Picture3", "Picture4"};
    static constexpr std::array<const char*, 3> kOptionNames = {"Option1", "Option2", "Option3"};
    static constexpr std::array<int, 3> kBoxLefts = {8, 32, 56};
    for (size_t i = 0; i < 3; ++i) {
        auto* box = new QWidget(this);
        box->setObjectName(QString::fromLatin1(kBoxNames[i]));
        box->setGeometry(kBoxLefts[i], 320, 17, 17);
        QPalette red = box->palette();
        red.setColor(QPalette::Window, QColor(255, 0, 0));
        box->setPalette(red);
        box->setAutoFillBackground(true);
        auto* option = new QRadioButton(box);
        option->setObjectName(QString::fromLatin1(kOptionNames[i]));
        option->setGeometry(1, 1, 15, 15);
        // Indicators only: the game sets them, the player cannot.
        option->setAttribute(Qt::WA_TransparentForMouseEvents);
        option->setFocusPolicy(Qt::NoFocus);
        option->setAutoExclusive(false);
        c_.torpedoBoxes[i] = box;
        c_.options[i] = option;
    }

    MakeButtons("cmdPhoton", "cmdPhoton");
    c_.Label1 = look::MakeLabel(this, "Label1", QStringLiteral("Movement(Z,C)"), {0, 384, 73, 17});
    MakeButtons("cmdLeft", "cmdHint");
    c_.Label4 = look::MakeLabel(this, "Label4", QStringLiteral("High Score:"), {608, 496, 57, 17});
    c_.txtHighscore = look::MakeTextBox(this, "txtHighscore", {672, 492, 41, 19});

    ResetControls();
}

QPushButton* MainWindowControls::button(std::string_view name) const {
    return buttons[static_cast<size_t>(FindButton(name) - kButtons.data())];
}

void MainWindow::MakeButtons(std::string_view first, std::string_view last) {
    for (const ButtonInfo* b = FindButton(first); b <= FindButton(last); ++b) {
        const auto& [left, top, width, height] = b->box;
        c_.buttons[static_cast<size_t>(b - kButtons.data())] =
            MakeButton(this, b->name, QString::fromLatin1(b->caption), {left, top, width, height});
    }
}

void MainWindow::SetPlayControlsEnabled(bool enabled) {
    for (size_t b = 0; b < kButtons.size(); ++b) {
        if (kButtons[b].playControl) c_.buttons[b]->setEnabled(enabled);
    }
}

void MainWindow::ResetControls() {
    SetPlayControlsEnabled(false);
    for (QRadioButton* option : c_.options) option->setChecked(false);
    c_.txtScore->clear();
    c_.txtGameTime->clear();
    c_.txtHighscore->clear();
    c_.button("cmdSound")->setText(QString::fromLatin1(FindButton("cmdSound")->caption));
    c_.Picture1->setFocus(Qt::OtherFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the program at once, even during a game; nothing cancels it.
    if (onClose) onClose();
    event->accept();
}

}  // namespace korvane
