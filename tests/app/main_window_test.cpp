// The main window as the player meets it: every control at its box with its caption, the
// play controls switched with a game, the focus kept on the viewscreen, and the keys and
// mouse reaching the game whatever has the focus.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <map>
#include <vector>

#include "look.h"
#include "program.h"
#include "test_support.h"
#include "viewscreen.h"

namespace korvane {
namespace {

using testing::AnswerNextModal;
using testing::Child;
using testing::WhenTrue;

struct ButtonBox {
    const char* name;
    const char* caption;
    QRect box;
    bool play;  // one of the eleven play controls
};

const std::vector<ButtonBox> kButtons = {
    {"cmdSound", "sound: ON", {8, 3, 65, 25}, false},
    {"cmdExit", "Quit/exit", {8, 32, 65, 25}, false},
    {"cmdHelp", "help/About", {8, 60, 65, 25}, false},
    {"cmdStart", "start/stop", {8, 88, 65, 25}, false},
    {"cmdXhairup", "^ ", {26, 184, 25, 25}, true},
    {"cmdXhairleft", "<-", {2, 216, 25, 25}, true},
    {"cmdStopCrosshair", "-", {31, 218, 17, 21}, true},
    {"cmdXhairright", "->", {53, 216, 25, 25}, true},
    {"cmdXhairdown", "v", {26, 248, 25, 29}, true},
    {"cmdPhaser", "fire phasers (CTRL)", {8, 280, 65, 33}, true},
    {"cmdPhoton", "photon torpedoes (spacebar)", {8, 344, 65, 41}, true},
    {"cmdLeft", "<- ", {4, 400, 22, 33}, true},
    {"cmdStop", "-", {31, 404, 17, 25}, true},
    {"cmdRight", " ->", {53, 400, 22, 33}, true},
    {"cmdShields", "Shields", {16, 440, 49, 25}, true},
    {"cmdHint", "Hints", {16, 472, 49, 25}, false},
};

struct TextBox {
    const char* name;
    const char* text;
    QRect box;
};

const std::vector<TextBox> kLabels = {
    {"Label3", "Score  Time", {0, 112, 57, 17}},
    {"Label2", "phaser crosshairs: (arrow keys)", {8, 144, 57, 41}},
    {"Label1", "Movement(Z,C)", {0, 384, 73, 17}},
    {"Label4", "High Score:", {608, 496, 57, 17}},
};

const std::vector<TextBox> kReadouts = {
    {"txtScore", "", {0, 128, 33, 19}},
    {"txtGameTime", "", {40, 128, 33, 19}},
    {"txtHighscore", "", {672, 492, 41, 19}},
};

// What a look at the window shows at one moment.
struct WindowView {
    std::map<std::string, bool> enabled;
    std::map<std::string, QString> texts;
    std::vector<bool> indicators;
    QWidget* focus = nullptr;
};

WindowView Look(MainWindow& w) {
    WindowView v;
    for (const ButtonBox& b : kButtons) {
        auto* button = Child<QPushButton>(&w, b.name);
        v.enabled[b.name] = button->isEnabled();
        v.texts[b.name] = button->text();
    }
    for (const TextBox& t : kReadouts) v.texts[t.name] = Child<QLineEdit>(&w, t.name)->text();
    for (QRadioButton* option : w.controls().options) v.indicators.push_back(option->isChecked());
    v.focus = w.focusWidget();
    return v;
}

void ExpectPlayControls(const WindowView& v, bool enabled, const char* when) {
    for (const ButtonBox& b : kButtons) {
        EXPECT_EQ(v.enabled.at(b.name), b.play ? enabled : true) << b.name << " " << when;
    }
}

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        program_.game().Main();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    }

    MainWindow& window() { return program_.window(); }
    QPushButton* cmdStart() { return window().controls().button("cmdStart"); }

    // Clicks start/stop and answers the settings dialog with OK; then, once the game runs,
    // does during() inside its frame loop and stops it with a second click. Returns when
    // the game's loop has ended.
    void PlayOneGame(const std::function<void()>& during) {
        AnswerNextModal(
            [](QWidget* dialog) {
                QTest::mouseClick(Child<QPushButton>(dialog, "cmdOK"), Qt::LeftButton);
            },
            QStringLiteral("frmStart"));
        WhenTrue([this, during] {
            // The play controls come on only when the game is set up; from then on the
            // timers run only in the frame loop's yield.
            if (!program_.game().state().gamerunning ||
                !window().controls().button("cmdPhaser")->isEnabled()) {
                return false;
            }
            during();
            QTest::mouseClick(cmdStart(), Qt::LeftButton);
            return true;
        });
        QTest::mouseClick(cmdStart(), Qt::LeftButton);
    }

    Program program_;
};

TEST_F(MainWindowTest, WindowHasItsCaptionFixedClientSizeAndGreyFace) {
    EXPECT_EQ(window().windowTitle(), QStringLiteral("Korvane "));
    EXPECT_EQ(window().size(), QSize(733, 512));
    EXPECT_EQ(window().minimumSize(), window().maximumSize());
    EXPECT_EQ(window().palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST_F(MainWindowTest, EveryControlStandsAtItsBoxWithItsCaptionAfterStartUp) {
    for (const ButtonBox& b : kButtons) {
        auto* button = Child<QPushButton>(&window(), b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->geometry(), b.box) << b.name;
        EXPECT_EQ(button->text(), QString::fromLatin1(b.caption)) << b.name;
    }
    for (const TextBox& l : kLabels) {
        auto* label = Child<QLabel>(&window(), l.name);
        ASSERT_NE(label, nullptr) << l.name;
        EXPECT_EQ(label->geometry(), l.box) << l.name;
        EXPECT_EQ(label->text(), QString::fromLatin1(l.text)) << l.name;
    }
    // Before the first game the score and time have no value yet, so their boxes are empty.
    for (const TextBox& r : kReadouts) {
        auto* edit = Child<QLineEdit>(&window(), r.name);
        ASSERT_NE(edit, nullptr) << r.name;
        EXPECT_EQ(edit->geometry(), r.box) << r.name;
        EXPECT_EQ(edit->text(), QString()) << r.name;
    }
    EXPECT_EQ(Child(&window(), "Picture1")->geometry(), QRect(80, 8, 642, 482));

    const char* boxes[] = {"Picture2", "Picture3", "Picture4"};
    const char* options[] = {"Option1", "Option2", "Option3"};
    const int lefts[] = {8, 32, 56};
    for (int i = 0; i < 3; ++i) {
        QWidget* box = Child(&window(), boxes[i]);
        ASSERT_NE(box, nullptr) << boxes[i];
        EXPECT_EQ(box->geometry(), QRect(lefts[i], 320, 17, 17)) << boxes[i];
        EXPECT_EQ(box->palette().color(QPalette::Window), QColor(255, 0, 0)) << boxes[i];
        auto* option = Child<QRadioButton>(box, options[i]);
        ASSERT_NE(option, nullptr) << options[i];
        EXPECT_FALSE(option->isChecked()) << options[i];
    }

    const WindowView v = Look(window());
    ExpectPlayControls(v, false, "after start-up");
    EXPECT_EQ(v.focus, window().controls().Picture1);
    // Start-up shows no settings dialog: that comes with the first game.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindowTest, EveryCaptionFitsItsBoxWithoutClipping) {
    testing::ExpectTextsFit(&window());
}

TEST_F(MainWindowTest, PictureOneComesFirstInTheTabOrder) {
    EXPECT_EQ(window().nextInFocusChain(), window().controls().Picture1);
}

TEST_F(MainWindowTest, AGameSwitchesThePlayControlsOnAndTheStopSwitchesThemOff) {
    WindowView during;
    PlayOneGame([&] { during = Look(window()); });

    ExpectPlayControls(during, true, "during the game");
    EXPECT_EQ(during.texts.at("txtScore"), QStringLiteral("0"));
    EXPECT_EQ(during.texts.at("txtGameTime"), QStringLiteral("0"));
    EXPECT_EQ(during.texts.at("txtHighscore"), QStringLiteral("0"));
    EXPECT_EQ(during.texts.at("cmdSound"), QStringLiteral("sound: ON"));
    EXPECT_EQ(during.indicators, std::vector<bool>({true, true, true}));
    // The reload at the game start leaves the focus on the viewscreen, not on start/stop.
    EXPECT_EQ(during.focus, window().controls().Picture1);

    const WindowView after = Look(window());
    EXPECT_FALSE(program_.game().state().gamerunning);
    ExpectPlayControls(after, false, "after the stop");
    EXPECT_EQ(after.texts.at("txtScore"), QStringLiteral("0"));
    EXPECT_EQ(after.focus, window().controls().Picture1);
    EXPECT_TRUE(window().controls().Picture1->hasFocus());
}

TEST_F(MainWindowTest, TheViewscreenShowsTheYellowCornersAfterAGame) {
    PlayOneGame([] {});
    QImage shown = window().controls().Picture1->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(642, 482));
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_EQ(shown.pixel(0, 0), yellow);
    EXPECT_EQ(shown.pixel(641, 0), yellow);
    EXPECT_EQ(shown.pixel(0, 481), yellow);
    EXPECT_EQ(shown.pixel(641, 481), yellow);
    EXPECT_EQ(shown.pixel(1, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shown.pixel(320, 240), qRgb(0, 0, 0));
}

TEST_F(MainWindowTest, TheSoundButtonSwitchesAndGivesTheFocusBack) {
    QTest::mouseClick(window().controls().button("cmdSound"), Qt::LeftButton);
    EXPECT_EQ(window().controls().button("cmdSound")->text(), QStringLiteral("sound: OFF"));
    EXPECT_FALSE(program_.game().state().soundon);
    EXPECT_TRUE(window().controls().Picture1->hasFocus());
    // The next game's reload keeps the caption in step with the switch.
    WindowView during;
    PlayOneGame([&] { during = Look(window()); });
    EXPECT_EQ(during.texts.at("cmdSound"), QStringLiteral("sound: OFF"));
}

TEST_F(MainWindowTest, SpaceOnAFocusedPlayButtonLaunchesATorpedoAndDoesNotPressIt) {
    bool launched = false;
    bool shields = true;
    PlayOneGame([&] {
        QPushButton* button = window().controls().button("cmdShields");
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Space);
        launched = program_.game().state().photonfire1;
        shields = program_.game().state().shieldsOn;
    });
    EXPECT_TRUE(launched);
    EXPECT_FALSE(shields);
}

TEST_F(MainWindowTest, EnterOnAFocusedButtonDoesNotPressIt) {
    QPushButton* sound = window().controls().button("cmdSound");
    sound->setFocus();
    QTest::keyClick(sound, Qt::Key_Return);
    QTest::keyClick(sound, Qt::Key_Space);
    EXPECT_EQ(sound->text(), QStringLiteral("sound: ON"));
    EXPECT_TRUE(program_.game().state().soundon);
}

TEST_F(MainWindowTest, KeysActOnReleaseOnceAndIgnoreAutoRepeat) {
    int16_t afterPress = 1;
    int16_t afterRepeats = 1;
    int16_t afterRelease = 0;
    PlayOneGame([&] {
        QWidget* focus = window().controls().Picture1;
        QTest::keyPress(focus, Qt::Key_Z);
        afterPress = program_.game().state().deltax;
        // Holding the key: repeated presses and releases that are not the real release.
        for (int i = 0; i < 3; ++i) {
            QKeyEvent repeatUp(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, QStringLiteral("z"),
                               true);
            QApplication::sendEvent(focus, &repeatUp);
        }
        afterRepeats = program_.game().state().deltax;
        QTest::keyRelease(focus, Qt::Key_Z, Qt::ShiftModifier);
        afterRelease = program_.game().state().deltax;
    });
    EXPECT_EQ(afterPress, 0);
    EXPECT_EQ(afterRepeats, 0);
    EXPECT_EQ(afterRelease, -1);
}

TEST_F(MainWindowTest, AMouseReleaseOverTheViewscreenReachesTheGameInViewscreenPixels) {
    int16_t tx = 0;
    int16_t ty = 0;
    PlayOneGame([&] {
        QTest::mouseClick(window().controls().Picture1, Qt::LeftButton, {}, QPoint(123, 45));
        tx = program_.game().state().targetx;
        ty = program_.game().state().targety;
    });
    EXPECT_EQ(tx, 123);
    EXPECT_EQ(ty, 45);
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// Frames counted by the game clock, which ticks every frame.
long long FramesRun(const Game& game) {
    return static_cast<long long>(game.state().gametime) * 500 + game.state().clockframes;
}

TEST_F(MainWindowTest, AHintOrTheAboutBoxDuringAGameFreezesItUntilClosed) {
    for (const auto key : {Qt::Key_H, Qt::Key_A}) {
        long long before = -1, whileOpen = -1, afterWait = -1, afterClose = -2;
        PlayOneGame([&] {
            const Game& game = program_.game();
            before = FramesRun(game);
            AnswerNextModal([&](QWidget* box) {
                whileOpen = FramesRun(game);
                QTest::qWait(200);  // the event loop runs; the game must not
                afterWait = FramesRun(game);
                // The hint's box and the About box each close with their only OK button.
                for (QPushButton* b : box->findChildren<QPushButton*>()) {
                    if (b->text() == QStringLiteral("OK")) b->click();
                }
            });
            QTest::keyClick(window().controls().Picture1, key);
            afterClose = FramesRun(game);
        });
        EXPECT_EQ(whileOpen, before) << key;
        EXPECT_EQ(afterWait, before) << key;
        EXPECT_EQ(afterClose, before) << key;
    }
}

}  // namespace
}  // namespace korvane
