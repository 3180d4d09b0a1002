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

    c_.cmdSound = MakeButton(this, "cmdSound", QStringLiteral("sound: "), {8, 3, 65, 25});
    c_.cmdExit = MakeButton(this, "cmdExit", QStringLiteral("Quit/exit"), {8, 32, 65, 25});
    c_.cmdHelp = MakeButton(this, "cmdHelp", QStringLiteral("help/About"), {8, 60, 65, 25});
    c_.cmdStart = MakeButton(this, "cmdStart", QStringLiteral("start/stop"), {8, 88, 65, 25});
    c_.Label3 = look::MakeLabel(this, "Label3", QStringLiteral("Score  Time"), {0, 112, 57, 17});
    c_.txtScore = look::MakeTextBox(this, "txtScore", {0, 128, 33, 19});
    c_.txtGameTime = look::MakeTextBox(this, "txtGameTime", {40, 128, 33, 19});
    c_.Label2 = look::MakeLabel(this, "Label2", QStringLiteral("phaser crosshairs: (arrow keys)"),
                                {8, 144, 57, 41});
    c_.cmdXhairup = MakeButton(this, "cmdXhairup", QStringLiteral("^ "), {26, 184, 25, 25});
    c_.cmdXhairleft = MakeButton(this, "cmdXhairleft", QStringLiteral("<-"), {2, 216, 25, 25});
    c_.cmdStopCrosshair =
        MakeButton(this, "cmdStopCrosshair", QStringLiteral("-"), {31, 218, 17, 21});
    c_.cmdXhairright = MakeButton(this, "cmdXhairright", QStringLiteral("->"), {53, 216, 25, 25});
    c_.cmdXhairdown = MakeButton(this, "cmdXhairdown", QStringLiteral("v"), {26, 248, 25, 29});
    c_.cmdPhaser =
        MakeButton(this, "cmdPhaser", QStringLiteral("fire phasers (CTRL)"), {8, 280, 65, 33});

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

    c_.cmdPhoton = MakeButton(this, "cmdPhoton", QStringLiteral("photon torpedoes (spacebar)"),
                              {8, 344, 65, 41});
    c_.Label1 = look::MakeLabel(this, "Label1", QStringLiteral("Movement(Z,C)"), {0, 384, 73, 17});
    c_.cmdLeft = MakeButton(this, "cmdLeft", QStringLiteral("<- "), {4, 400, 22, 33});
    c_.cmdStop = MakeButton(this, "cmdStop", QStringLiteral("-"), {31, 404, 17, 25});
    c_.cmdRight = MakeButton(this, "cmdRight", QStringLiteral(" ->"), {53, 400, 22, 33});
    c_.cmdShields = MakeButton(this, "cmdShields", QStringLiteral("Shields"), {16, 440, 49, 25});
    c_.cmdHint = MakeButton(this, "cmdHint", QStringLiteral("Hints"), {16, 472, 49, 25});
    c_.Label4 = look::MakeLabel(this, "Label4", QStringLiteral("High Score:"), {608, 496, 57, 17});
    c_.txtHighscore = look::MakeTextBox(this, "txtHighscore", {672, 492, 41, 19});

    c_.playControls = {c_.cmdXhairup, c_.cmdXhairdown, c_.cmdXhairleft,    c_.cmdXhairright,
                       c_.cmdPhaser,  c_.cmdPhoton,    c_.cmdLeft,         c_.cmdRight,
                       c_.cmdShields, c_.cmdStop,      c_.cmdStopCrosshair};
    ResetControls();
}

void MainWindow::ResetControls() {
    for (QPushButton* b : c_.playControls) b->setEnabled(false);
    for (QRadioButton* option : c_.options) option->setChecked(false);
    c_.txtScore->clear();
    c_.txtGameTime->clear();
    c_.txtHighscore->clear();
    c_.cmdSound->setText(QStringLiteral("sound: "));
    c_.Picture1->setFocus(Qt::OtherFocusReason);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing ends the program at once, even during a game; nothing cancels it.
    if (onClose) onClose();
    event->accept();
}

}  // namespace korvane
