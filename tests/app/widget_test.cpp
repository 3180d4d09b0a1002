// Real widgets on the offscreen platform, driven as a player would: the main window's play
// controls, focus, keys and mouse; the settings, outcome and About dialogs; the viewscreen;
// every window built as its description says.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>

#include "buttons.h"
#include "dialog_view.h"
#include "look.h"
#include "program.h"
#include "qt_test.h"
#include "sound_ids.h"
#include "sound_player.h"
#include "settings_dialog_rules.h"
#include "sys_info.h"
#include "vessik_picture.h"
#include "viewscreen.h"
#include "window_descriptions.h"

namespace korvane {
namespace {

// No caption or label of the window is clipped by its box.
void ExpectTextsFit(const QWidget* window) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (auto* b = dynamic_cast<WrapButton*>(button)) {
            EXPECT_TRUE(look::TextFitsBox(b->font(), b->text(), b->TextArea().size()))
                << b->objectName().toStdString();
        }
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (auto* l = dynamic_cast<WrapLabel*>(label)) {
            EXPECT_LE(l->InkBottom(), l->height()) << l->objectName().toStdString();
        }
    }
}

// A window as the desktop built it against its description: caption, client size, and each
// named control's name, box and text in the description's order (the tab order). The
// main window's buttons come from the button table; the absorption picture is compared
// pixel for pixel; a read-out's text is the game's, not the description's, and so is the end
// of the sound switch's caption (on at start-up).
void ExpectBuiltAsDescribed(const QWidget* window) {
    const WindowInfo& info = WindowNamed(window->objectName().toStdString());
    SCOPED_TRACE(info.name);
    EXPECT_EQ(window->objectName().toStdString(), info.name);
    EXPECT_EQ(window->windowTitle().toStdString(), info.caption);
    EXPECT_EQ(window->size(), QSize(info.width, info.height));
    using Control = std::tuple<std::string, std::array<int, 4>, std::string>;
    std::vector<Control> want, got;
    for (const ControlInfo& c : info.controls) {
        for (const ButtonInfo* b = FindButton(c.name);
             c.kind == ControlKind::TableButtons && b <= FindButton(c.text); ++b) {
            want.emplace_back(b->name, b->box,
                              b->caption + std::string(std::string_view(b->name) == "cmdSound" ? "ON" : ""));
        }
        if (c.kind == ControlKind::TableButtons) continue;
        want.emplace_back(c.name, c.box, c.kind == ControlKind::TextBox ? "" : c.text);
    }
    for (const QWidget* w : window->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith("qt_")) continue;
        QString text;
        if (auto* label = qobject_cast<const QLabel*>(w)) text = label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(w)) text = button->text();
        const QRect g = w->geometry();
        got.emplace_back(w->objectName().toStdString(),
                         std::array<int, 4>{g.x(), g.y(), g.width(), g.height()},
                         text.toStdString());
        if (w->objectName() != QStringLiteral("picVessikWin")) continue;
        const QImage image = qobject_cast<const QLabel*>(w)->pixmap().toImage();
        const std::vector<Color> picture = VessikPicture();
        ASSERT_EQ(image.size(), QSize(kVessikPictureWidth, kVessikPictureHeight));
        for (int i = 0; i < kVessikPictureWidth * kVessikPictureHeight; ++i) {
            const Color c = picture[i];
            ASSERT_EQ(image.pixel(i % kVessikPictureWidth, i / kVessikPictureWidth) & 0xFFFFFF,
                      qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF) & 0xFFFFFF)
                << "picture pixel " << i;
        }
    }
    EXPECT_EQ(got, want);
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
    Game& game() { return program_.game(); }
    QtShell& shell() { return program_.shell(); }
    const GameState& state() { return program_.game().state(); }
    QWidget* viewscreen() { return window().controls().Picture1; }

    // Starts a game (OK in the settings dialog), runs the steps inside its frame loop (the
    // input each gives has run by the next), and stops it with a second click. Returns when
    // the game has ended.
    void PlayOneGame(std::vector<std::function<void()>> steps) {
        AnswerNextModal([](QWidget* d) { QTest::mouseClick(Child(d, "cmdOK"), Qt::LeftButton); });
        auto* start = window().controls().button("cmdStart");
        steps.push_back([start] { QTest::mouseClick(start, Qt::LeftButton); });
        InGame(program_, std::move(steps));
        QTest::mouseClick(start, Qt::LeftButton);
        EXPECT_TRUE(Settled(program_));
    }
    // Shows a dialog as the game does and returns when it has closed.
    void RunDialog(Dialog& dialog) {
        shell().Begin(shell().ShowDialog(dialog));
        EXPECT_TRUE(Settled(program_));
    }

    Program program_;
};

TEST_F(MainWindowTest, PlayControlsOnOnlyInAGameSoundSwitchTakesOnlyClicksFocusOnViewscreen) {
    ExpectBuiltAsDescribed(&window());
    ExpectTextsFit(&window());
    EXPECT_EQ(window().nextInFocusChain(), viewscreen());
    // The eleven play controls, then the five that stay on: '1' where enabled.
    const auto enabled = [&] {
        std::string on;
        for (const char* name :
             {"cmdXhairup", "cmdXhairleft", "cmdStopCrosshair", "cmdXhairright", "cmdXhairdown",
              "cmdPhaser", "cmdPhoton", "cmdLeft", "cmdStop", "cmdRight", "cmdShields", "cmdSound",
              "cmdExit", "cmdHelp", "cmdStart", "cmdHint"}) {
            on += Child<QPushButton>(&window(), name)->isEnabled() ? '1' : '0';
        }
        return on;
    };
    EXPECT_EQ(enabled(), "0000000000011111");
    QPushButton* sound = window().controls().button("cmdSound");
    sound->setFocus();
    QTest::keyClick(sound, Qt::Key_Return);
    QTest::keyClick(sound, Qt::Key_Space);
    EXPECT_TRUE(state().soundon) << "a key on a focused button does not press it";
    QTest::mouseClick(sound, Qt::LeftButton);
    EXPECT_EQ(sound->text(), QStringLiteral("sound: OFF"));
    EXPECT_FALSE(state().soundon);
    EXPECT_TRUE(viewscreen()->hasFocus()) << "the click gives the focus back";
    std::string during;
    QString caption;
    QWidget* focus = nullptr;
    PlayOneGame({[&] {
        during = enabled();
        caption = sound->text();
        focus = window().focusWidget();
    }});
    EXPECT_EQ(during, "1111111111111111");
    EXPECT_EQ(caption, QStringLiteral("sound: OFF")) << "the reload keeps the caption in step";
    EXPECT_EQ(focus, viewscreen()) << "the reload at the start leaves the focus on the viewscreen";
    EXPECT_EQ(enabled(), "0000000000011111");
    EXPECT_TRUE(viewscreen()->hasFocus());
}

// The game's sounds in the window: an ordinary one plays on while the game goes on; one the
// game waits for (the victory's) has played to its end when the game goes on, and the window
// has gone on handling its other events meanwhile.
TEST_F(MainWindowTest, ASoundTheGameWaitsForHasEndedWhenItGoesOnWhileTheWindowGoesOn) {
    program_.shell().PlaySound(kSoundTorpedoLaunch, kSoundPlaysOn);
    EXPECT_EQ(sound::CurrentPlayback().soundId, kSoundTorpedoLaunch);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start(10);
    const uint64_t completed = sound::CurrentPlayback().soundsCompleted;
    program_.shell().PlaySound(kSoundExplosion, kSoundWaitsForEnd);
    shell().Begin(shell().HoldScreen(Hold::Sound));
    EXPECT_TRUE(shell().Running()) << "the game waits";
    EXPECT_TRUE(Settled(program_));
    EXPECT_EQ(sound::CurrentPlayback().soundsCompleted, completed + 1);
    EXPECT_GT(ticks, 0);
}

TEST_F(MainWindowTest, KeysActOnReleaseOnceWhateverHasTheFocusAndMouseUsesViewscreenPixels) {
    std::vector<int> deltas;
    bool launched = false, shields = true;
    int tx = 0, ty = 0;
    PlayOneGame({[&] {
                      QTest::keyPress(viewscreen(), Qt::Key_Z);
                      for (int i = 0; i < 3; ++i) {  // held: auto-repeated releases do nothing
                          QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Z, Qt::NoModifier, "z",
                                           true);
                          QApplication::sendEvent(viewscreen(), &repeat);
                      }
                  },
                  [&] {
                      deltas.push_back(state().deltax);
                      QTest::keyRelease(viewscreen(), Qt::Key_Z, Qt::ShiftModifier);
                  },
                  [&] {
                      deltas.push_back(state().deltax);
                      // Space on a focused play button launches a torpedo and does not press
                      // the button.
                      QPushButton* button = window().controls().button("cmdShields");
                      button->setFocus();
                      QTest::keyClick(button, Qt::Key_Space);
                  },
                  [&] {
                      launched = state().photonfire1;
                      shields = state().shieldsOn;
                      QTest::mouseClick(viewscreen(), Qt::LeftButton, {}, QPoint(123, 45));
                  },
                  [&] {
                      tx = state().targetx;
                      ty = state().targety;
                  }});
    EXPECT_EQ(deltas, (std::vector<int>{0, -1}));
    EXPECT_TRUE(launched);
    EXPECT_FALSE(shields);
    EXPECT_EQ(tx, 123);
    EXPECT_EQ(ty, 45);
}

// Frames counted by the game clock, which ticks every frame.
long long FramesRun(const GameState& s) {
    return static_cast<long long>(s.gametime) * 500 + s.clockframes;
}

// The key runs in the frame's yield, before the frame's phases: the box opens with the frames
// run as they stood when the key was given, and they stay so while it is open. The game goes
// on once it is closed (the stop after it needs a running game).
TEST_F(MainWindowTest, AHintOrTheAboutBoxDuringAGameFreezesItUntilClosed) {
    for (const auto key : {Qt::Key_H, Qt::Key_A}) {
        long long before = -1, whileOpen = -1, afterWait = -1;
        PlayOneGame({[&] {
            before = FramesRun(state());
            AnswerNextModal([&](QWidget* box) {
                whileOpen = FramesRun(state());
                QTest::qWait(200);  // the event loop runs; the game must not
                afterWait = FramesRun(state());
                for (QPushButton* b : box->findChildren<QPushButton*>()) {
                    if (b->text() == QStringLiteral("OK")) b->click();
                }
            });
            QTest::keyClick(viewscreen(), key);
        }});
        EXPECT_EQ(whileOpen, before) << key;
        EXPECT_EQ(afterWait, before) << key;
    }
}

const OutcomeKind kOutcomes[] = {OutcomeKind::frmVessikWin, OutcomeKind::frmShipBoom,
                                 OutcomeKind::frmVessikZap, OutcomeKind::frmAntiZap,
                                 OutcomeKind::frmUWin};

using DialogTest = MainWindowTest;  // the dialogs, over the main window

TEST_F(DialogTest, SettingsDialogOpensAtTheLastCountAndItsBarAndRestoreDefaultSetIt) {
    game().state().numberofstars = 420;
    SettingsDialog model(game());
    std::vector<QString> shown;
    int barAfterRestore = -1;
    bool openAfterEscape = false;
    AnswerNextModal([&](QWidget* d) {
        ExpectBuiltAsDescribed(d);
        ExpectTextsFit(d);
        auto* bar = Child<QScrollBar>(d, "HScroll1");
        auto* text1 = Child<QLineEdit>(d, "Text1");
        shown.push_back(QString::number(bar->value()) + " " + text1->text());
        bar->setValue(300);
        shown.push_back(text1->text());
        QTest::mouseClick(Child(d, "Command1"), Qt::LeftButton);
        shown.push_back(text1->text());
        barAfterRestore = bar->value();
        // From the keyboard as a scroll bar is worked: Tab reaches it, each key is a change.
        EXPECT_TRUE(bar->focusPolicy() & Qt::TabFocus);
        for (Qt::Key key : {Qt::Key_End, Qt::Key_Left, Qt::Key_PageUp, Qt::Key_Right,
                            Qt::Key_PageDown, Qt::Key_Home, Qt::Key_Down, Qt::Key_Up}) {
            QTest::keyClick(bar, key);
            shown.push_back(text1->text());
        }
        QTest::keyClick(d, Qt::Key_Escape);  // leaves it open; the close box acts as OK
        openAfterEscape = d->isVisible();
        d->close();
    });
    Dialog dialog("frmStart", &model);
    RunDialog(dialog);
    EXPECT_EQ(shown, (std::vector<QString>{"420 420", "300", "150", "500", "499", "498", "499",
                                           "500", "0", "1", "0"}));
    EXPECT_EQ(barAfterRestore, 150);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(game().state().numberofstars, 0);
}

TEST_F(DialogTest, EachOutcomeDialogClosesByEnterOrOkButNeverBySpaceOrEscape) {
    for (OutcomeKind kind : kOutcomes) {
        SCOPED_TRACE(OutcomeName(kind));
        OutcomeDialog model(game(), kind);
        bool openAfterKeys = false;
        AnswerNextModal([&](QWidget* d) {
            EXPECT_EQ(d->objectName(), QString::fromLatin1(OutcomeName(kind)));
            ExpectBuiltAsDescribed(d);
            ExpectTextsFit(d);
            QWidget* ok = Child(d, "cmdClose");
            EXPECT_EQ(d->focusWidget(), ok);
            QTest::keyClick(ok, Qt::Key_Space);
            QTest::keyClick(ok, Qt::Key_Space);
            QTest::keyClick(d, Qt::Key_Escape);
            openAfterKeys = d->isVisible();
            if (kind == OutcomeKind::frmAntiZap) {
                QTest::mouseClick(ok, Qt::LeftButton);
            } else {
                QTest::keyClick(ok, Qt::Key_Return);
            }
        });
        Dialog dialog(OutcomeName(kind), &model);
        RunDialog(dialog);
        EXPECT_TRUE(openAfterKeys);
        EXPECT_TRUE(model.closed());
    }
}

TEST_F(DialogTest, VictoryDialogOffersAHarderNextGameOnce) {
    game().state().winscore = 499;
    OutcomeDialog model(game(), OutcomeKind::frmUWin);
    std::vector<QString> next;
    bool enabledAfter = true;
    AnswerNextModal([&](QWidget* d) {
        next.push_back(Child<QLineEdit>(d, "txtCurrentScore")->text());
        next.push_back(Child<QLineEdit>(d, "txtNextscore")->text());
        auto* harder = Child<QPushButton>(d, "cmdChangeWinscore");
        QTest::mouseClick(harder, Qt::LeftButton);
        QTest::mouseClick(harder, Qt::LeftButton);
        next.push_back(Child<QLineEdit>(d, "txtNextscore")->text());
        enabledAfter = harder->isEnabled();
        QTest::mouseClick(Child(d, "cmdClose"), Qt::LeftButton);
    });
    Dialog dialog("frmUWin", &model);
    RunDialog(dialog);
    EXPECT_EQ(next, (std::vector<QString>{"500", "500", "600"}));
    EXPECT_FALSE(enabledAfter);
    EXPECT_EQ(game().state().nextwinscore, 599);
    EXPECT_EQ(program_.window().findChild<QWidget*>("txtNextscore"), nullptr)
        << "the dialog's boxes are gone with it";
}

TEST_F(DialogTest, SystemInfoStartsTheBestInstalledProgramOrSaysItIsUnavailable) {
    QTemporaryDir dir;
    DialogView about(Dialog("frmAbout"));
    ExpectBuiltAsDescribed(&about);
    ExpectTextsFit(&about);
    about.SetSysInfoSearchPath({dir.path()});
    QStringList started;
    about.SetLauncher([&](const QString& program) {
        started << program;
        return true;
    });
    QString text;
    AnswerNextModal([&](QWidget* m) {
        text = qobject_cast<QMessageBox*>(m)->text();
        qobject_cast<QMessageBox*>(m)->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(Child(&about, "cmdSysInfo"), Qt::LeftButton);
    EXPECT_TRUE(WaitUntil([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_TRUE(started.isEmpty());

    QString value = QStringLiteral("left over");
    for (const char* name : {"gnome-system-monitor", "kinfocenter"}) {
        QFile f(QDir(dir.path()).filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        EXPECT_FALSE(GetKeyValue(QString::fromLatin1(name), value, {dir.path()})) << "not runnable";
        EXPECT_TRUE(value.isEmpty());
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    EXPECT_TRUE(GetKeyValue(QStringLiteral("kinfocenter"), value, {dir.path()}));
    EXPECT_EQ(value, QDir(dir.path()).filePath(QStringLiteral("kinfocenter")));
    QTest::mouseClick(Child(&about, "cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(started, QStringList{QDir(dir.path()).filePath("kinfocenter")});
}

TEST(ViewscreenTest, ShowsTheSurfaceExactlyInCrispBlocksAndReportsTheGamesButtons) {
    Surface surface;
    surface.SetPixelV(0, 0, kRed);
    surface.SetPixelV(641, 481, Rgb(1, 2, 3));
    surface.SetPixelV(10, 10, kYellow);
    QImage image;
    SurfaceToImage(surface, image);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(641, 481), qRgb(1, 2, 3));

    Viewscreen screen(nullptr);
    screen.resize(642, 482);
    screen.SetSurface(&surface);
    QImage doubled(642 * 2, 482 * 2, QImage::Format_RGB32);  // a high-DPI screen
    doubled.setDevicePixelRatio(2.0);
    screen.render(&doubled);
    for (int y = 19; y <= 22; ++y) {
        for (int x = 19; x <= 22; ++x) {
            const bool inside = x >= 20 && x <= 21 && y >= 20 && y <= 21;
            EXPECT_EQ(doubled.pixel(x, y), inside ? qRgb(255, 255, 0) : qRgb(0, 0, 0)) << x << y;
        }
    }
    // Painted one for one into a larger picture at an offset, whatever the picture's pixel
    // format, the viewscreen is the surface exactly, in its place.
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        QImage framed(660, 500, format);
        framed.fill(Qt::blue);
        screen.render(&framed, QPoint(7, 11));
        EXPECT_EQ(framed.copy(7, 11, 642, 482).convertToFormat(QImage::Format_RGB32), image)
            << format;
        EXPECT_EQ(framed.pixel(6, 10), qRgb(0, 0, 255)) << format;
        EXPECT_EQ(framed.pixel(7 + 642, 11 + 482), qRgb(0, 0, 255)) << format;
    }
    std::vector<std::tuple<int, double, double>> got;
    screen.onMouseUp = [&](int button, double px, double py) { got.emplace_back(button, px, py); };
    QTest::mouseClick(&screen, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseClick(&screen, Qt::RightButton, Qt::ShiftModifier, QPoint(641, 481));
    QTest::mouseClick(&screen, Qt::MiddleButton, Qt::ControlModifier, QPoint(300, 200));
    EXPECT_EQ(got, (std::vector<std::tuple<int, double, double>>{
                       {1, 5.0, 6.0}, {2, 641.0, 481.0}, {4, 300.0, 200.0}}));
}

}  // namespace
}  // namespace korvane
