// Gamepads on the desktop: SDL's virtual pad, with the standard layout, plays the real
// program on the offscreen platform. What is checked is what reaches the game: the commands
// the window hands it (as a recording sees them) and what they did to the game.
#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "gamepads.h"
#include "program.h"
#include "qt_test.h"

namespace korvane {
namespace {

// A pad plugged in for the test's length, or until pulled.
class VirtualPad {
  public:
    VirtualPad() {
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "test pad";
        joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        EXPECT_NE(joystick_, nullptr) << SDL_GetError();
        // A trigger's axis rests at its low end, as a real pad's does.
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_TRIGGERLEFT, kTriggerRest);
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_TRIGGERRIGHT, kTriggerRest);
    }
    static constexpr Sint16 kTriggerRest = -32768;
    ~VirtualPad() {
        Pull();
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    }
    void Pull() {
        if (!joystick_) return;
        const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
        }
    }
    // Each change returns once the program has read it and acted on it.
    void Hold(SDL_GameControllerButton button, bool down = true) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
        EXPECT_TRUE(
            WaitUntil([=, this] { return SDL_JoystickGetButton(joystick_, button) == down; }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }
    void Tap(SDL_GameControllerButton button) {
        Hold(button);
        Hold(button, false);
    }
    void Push(SDL_GameControllerAxis axis, Sint16 value) {
        SDL_JoystickSetVirtualAxis(joystick_, axis, value);
        EXPECT_TRUE(WaitUntil([=, this] { return SDL_JoystickGetAxis(joystick_, axis) == value; }));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }

  private:
    SDL_Joystick* joystick_ = nullptr;
};

class GamepadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        program_.shell().SetGate([this](const script::ScriptLine& line) {
            commands_.push_back(script::LineText(line));
            return true;
        });
        program_.game().Main();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&program_.window()));
    }
    GameState& state() { return program_.game().state(); }
    Program program_;
    std::vector<std::string> commands_;  // every command given, as a line
};

TEST_F(GamepadTest, APadPlaysAGameThroughTheWindowsOwnCommandsAndWorksItsDialogs) {
    state().numberofstars = 150;
    VirtualPad pad;
    Gamepads gamepads(program_);
    EXPECT_EQ(gamepads.reader().padCount(), 1);

    int starsShown = -1;
    AnswerNextModal([&](QWidget* dialog) {
        // The star count, from the d-pad, whatever has the focus; A is OK.
        EXPECT_EQ(dialog->objectName(), QStringLiteral("frmStart"));
        pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
        pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
        pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_UP);  // not the star count's
        starsShown = dialog->findChild<QScrollBar*>()->value();
        pad.Tap(SDL_CONTROLLER_BUTTON_A);
    });
    const auto* indicator = program_.window().controls().options[0];
    bool readyBefore = false;
    bool hintClosed = false;
    // What a pad gives while the game waits for its pace runs in the next frame's yield.
    const auto next = [this] { EXPECT_TRUE(NextFrame(program_)); };
    InGame(program_, {[&] {
                readyBefore = indicator->isChecked();
                pad.Hold(SDL_CONTROLLER_BUTTON_A);
                next();
                EXPECT_FALSE(state().photonfire1) << "a button acts when it is let go";
                pad.Hold(SDL_CONTROLLER_BUTTON_A, false);
                next();
                EXPECT_TRUE(state().photonfire1);
                EXPECT_FALSE(indicator->isChecked());
                pad.Tap(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
                next();
                EXPECT_EQ(state().deltax, 1);
                pad.Tap(SDL_CONTROLLER_BUTTON_X);
                next();
                EXPECT_EQ(state().deltax, 0);
                pad.Tap(SDL_CONTROLLER_BUTTON_LEFTSHOULDER);
                next();
                EXPECT_EQ(state().deltax, -1);
            },
            [&] {
                // The stick acts as an arrow when it comes back, and only once it is
                // well back: a wobble near the middle of its travel is no second press.
                pad.Push(SDL_CONTROLLER_AXIS_LEFTX, -32768);
                pad.Push(SDL_CONTROLLER_AXIS_LEFTX, -13000);
                next();
                EXPECT_EQ(state().crossxdelta, 0);
                pad.Push(SDL_CONTROLLER_AXIS_LEFTX, -20000);
                pad.Push(SDL_CONTROLLER_AXIS_LEFTX, 0);
                next();
                EXPECT_EQ(state().crossxdelta, -1);
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);
                next();
                EXPECT_EQ(state().crossxdelta, 0);
                pad.Push(SDL_CONTROLLER_AXIS_LEFTY, 32767);
                pad.Push(SDL_CONTROLLER_AXIS_LEFTY, 0);
                next();
                EXPECT_EQ(state().crossydelta, 1);
                pad.Push(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
                pad.Push(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, VirtualPad::kTriggerRest);
                next();
                EXPECT_TRUE(state().phaserrecharging);
                pad.Tap(SDL_CONTROLLER_BUTTON_Y);
                next();
                EXPECT_TRUE(state().shieldsOn);
                AnswerNextModal([&](QWidget*) {
                    pad.Tap(SDL_CONTROLLER_BUTTON_A);
                    hintClosed = WaitUntil([] { return !QApplication::activeModalWidget(); });
                });
                pad.Tap(SDL_CONTROLLER_BUTTON_BACK);
            },
            [&] { pad.Tap(SDL_CONTROLLER_BUTTON_START); }});
    pad.Tap(SDL_CONTROLLER_BUTTON_START);
    EXPECT_TRUE(WaitUntil([&] { return !commands_.empty() && !state().gamerunning; }));

    EXPECT_EQ(starsShown, 151);
    EXPECT_TRUE(readyBefore);
    EXPECT_TRUE(hintClosed);
    EXPECT_EQ(commands_,
              (std::vector<std::string>{"click cmdStart", "keyup 32", "keyup 67", "keyup 88",
                                        "keyup 90", "keyup 37", "keyup 39", "keyup 40", "keyup 17",
                                        "keyup 83", "keyup 72", "click cmdStart"}));
}

TEST_F(GamepadTest, PullingAndPluggingInAPadLeavesTheGameRunningAndIdleReadsNothing) {
    Gamepads gamepads(program_);
    EXPECT_FALSE(gamepads.reader().polling()) << "no pad, no wake-ups";
    auto pad = std::make_unique<VirtualPad>();
    gamepads.reader().Look();  // as the watch on the input devices does
    EXPECT_TRUE(WaitUntil([&] { return gamepads.reader().padCount() == 1; }));

    double pulledAt = 0;
    bool launched = true;
    AnswerNextModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
    InGame(program_, {[&] {
                pad->Hold(SDL_CONTROLLER_BUTTON_A);
                pad->Pull();
                EXPECT_TRUE(WaitUntil([&] { return gamepads.reader().padCount() == 0; }));
                pulledAt = program_.game().surface().EmulatedMicros();
            },
            [&] {
                launched = state().photonfire1 || state().photonfire2 || state().photonfire3;
                pad = std::make_unique<VirtualPad>();
                gamepads.reader().Look();
                EXPECT_TRUE(WaitUntil([&] { return gamepads.reader().padCount() == 1; }));
                pad->Tap(SDL_CONTROLLER_BUTTON_A);
                EXPECT_TRUE(NextFrame(program_));
                EXPECT_TRUE(state().photonfire1);
                pad->Pull();
            },
            [&] { program_.window().controls().button("cmdStart")->click(); }});
    QTest::mouseClick(program_.window().controls().button("cmdStart"), Qt::LeftButton);
    EXPECT_TRUE(Settled(program_));

    EXPECT_GT(pulledAt, 0);
    EXPECT_FALSE(launched) << "pulling a pad lets go of nothing";
    EXPECT_EQ(commands_,
              (std::vector<std::string>{"click cmdStart", "keyup 32", "click cmdStart"}));
    // Once no pad is left, the reader stops polling after its short look for a new one.
    EXPECT_TRUE(WaitUntil([&] { return !gamepads.reader().polling(); }, 8000));
}

}  // namespace
}  // namespace korvane
