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

// The buttons' captions and places, in the order of the button table.
struct ButtonLook {
    const char* caption;
    QRect box;
};
constexpr std::array<ButtonLook, kButtonCount> kButtonLooks = {{
    {"sound: ", {8, 3, 65, 25}},
    {"Quit/exit", {8, 32, 65, 25}},
    {"help/About", {8, 60, 65, 25}},
    {"start/stop", {8, 88, 65, 25}},
    {"^ ", {26, 184, 25, 25}},
    {"<-", {2, 216, 25, 25}},
    {"-", {31, 218, 17, 21}},
    {"->", {53, 216, 25, 25}},
    {"v", {26, 248, 25, 29}},
    {"fire phasers (CTRL)", {8, 280, 65, 33}},
    {"photon torpedoes (spacebar)", {8, 344, 65, 41}},
    {"<- ", {4, 400, 22, 33}},
    {"-", {31, 404, 17, 25}},
    {" ->", {53, 400, 22, 33}},
    {"Shields", {16, 440, 49, 25}},
    {"Hints", {16, 472, 49, 25}},
}};

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

    MakeButtons(Button::cmdSound, Button::cmdStart);
    c_.Label3 = look::MakeLabel(this, "Label3", QStringLiteral("Score  Time"), {0, 112, 57, 17});
    c_.txtScore = look::MakeTextBox(this, "txtScore", {0, 128, 33, 19});
    c_.txtGameTime = look::MakeTextBox(this, "txtGameTime", {40, 128, 33, 19});
    c_.Label2 = look::MakeLabel(this, "Label2", QStringLiteral("phaser crosshairs: (arrow keys)"),
                                {8, 144, 57, 41});
    MakeButtons(Button::cmdXhairup, Button::cmdPhaser);

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

    MakeButtons(Button::cmdPhoton, Button::cmdPhoton);
    c_.Label1 = look::MakeLabel(this, "Label1", QStringLiteral("Movement(Z,C)"), {0, 384, 73, 17});
    MakeButtons(Button::cmdLeft, Button::cmdHint);
    c_.Label4 = look::MakeLabel(this, "Label4", QStringLiteral("High Score:"), {608, 496, 57, 17});
    c_.txtHighscore = look::MakeTextBox(this, "txtHighscore", {672, 492, 41, 19});

    ResetControls();
}

void MainWindow::MakeButtons(Button first, Button last) {
    for (auto b = static_cast<size_t>(first); b <= static_cast<size_t>(last); ++b) {
        const ButtonLook& look = kButtonLooks[b];
        c_.buttons[b] = MakeButton(this, kButtons[b].name, QString::fromLatin1(look.caption),
                                   look.box);
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
    c_.button(Button::cmdSound)->setText(QString::fromLatin1(kButtonLooks[static_cast<size_t>(Button::cmdSound)].caption));
    c_.Picture1->setFocus(Qt::OtherFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the program at once, even during a game; nothing cancels it.
    if (onClose) onClose();
    event->accept();
}

}  // namespace korvane
