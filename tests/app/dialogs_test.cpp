// The settings dialog, the five outcome dialogs and the About box, opened the way the game
// opens them (through the Shell, modal) and answered as a player would.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "frm_about.h"
#include "frm_outcome.h"
#include "look.h"
#include "program.h"
#include "start_dialog.h"
#include "sys_info.h"
#include "test_support.h"
#include "texts.h"
#include "vessik_picture.h"

namespace korvane {
namespace {

using testing::AnswerNextModal;
using testing::Child;

struct Box {
    const char* name;
    QRect box;
    const char* text;  // nullptr: not checked here
};

QString TextOf(const QWidget* w) {
    if (auto* label = qobject_cast<const QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(w)) return edit->text();
    return {};
}

void ExpectBoxes(const QWidget* dialog, const std::vector<Box>& boxes) {
    for (const Box& b : boxes) {
        QWidget* w = Child(dialog, b.name);
        ASSERT_NE(w, nullptr) << b.name;
        EXPECT_EQ(w->geometry(), b.box) << b.name;
        if (b.text) {
            EXPECT_EQ(TextOf(w), QString::fromLatin1(b.text)) << b.name;
        }
    }
}

class DialogTest : public ::testing::Test {
  protected:
    void SetUp() override { program_.game().Main(); }
    Game& game() { return program_.game(); }
    QtShell& shell() { return program_.shell(); }
    Program program_;
};

// --- The settings dialog ------------------------------------------------------------------

TEST_F(DialogTest, SettingsDialogShowsEveryControlAtItsBox) {
    StartDialog model(game());
    AnswerNextModal([](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Korvane"));
        EXPECT_EQ(d->size(), QSize(508, 291));
        EXPECT_EQ(d->minimumSize(), d->maximumSize());
        ExpectBoxes(
            d,
            {
                {"picIcon", {32, 8, 36, 36}, nullptr},
                {"lblTitle", {104, 8, 387, 24}, texts::kTitleLine},
                {"lblVersion", {96, 40, 259, 15}, "Version 1.02     12.31.2000"},
                {"lblDescription", {24, 64, 467, 54}, texts::kStory},
                {"Label2",
                 {24, 128, 281, 57},
                 "Keyboard Commands: A - help/About, [ARROW KEYS] - move phaser crosshairs, CTRL - "
                 "fire phasers, SPACE - fire photon torpedoes, Z - move left, C - move right, S - "
                 "raise Shields, H - Hints, Q - Quit"},
                {"Label10",
                 {328, 128, 169, 57},
                 "Mouse over Viewscreen: Left button- move phaser crosshairs. Right button- fire "
                 "phasers.  Middle button- fire photon torpedoes."},
                {"Line1", {312, 128, 1, 49}, nullptr},
                {"Label11",
                 {40, 186, 401, 17},
                 "Change the number of stars if the game runs too slowly or too fast on your "
                 "computer."},
                {"cmdOK", {440, 200, 57, 33}, "OK"},
                {"Label1", {64, 216, 137, 17}, "Number of Stars:"},
                {"Text1", {168, 208, 33, 19}, "150"},
                {"Command1", {232, 208, 25, 17}, "-"},
                {"Label8", {272, 208, 81, 17}, "Restore Default"},
                {"HScroll1", {24, 232, 409, 17}, nullptr},
                {"Label4", {40, 256, 25, 9}, "^"},
                {"Label6", {152, 256, 25, 9}, "^"},
                {"Label5", {416, 256, 25, 9}, "^"},
                {"Label3", {0, 272, 97, 17}, "really old slow PC"},
                {"Label7", {144, 272, 73, 17}, "default"},
                {"Label9", {304, 272, 121, 17}, "future really really fast PC"},
            });
        testing::ExpectTextsFit(d);
        auto* bar = Child<QScrollBar>(d, "HScroll1");
        EXPECT_EQ(bar->orientation(), Qt::Horizontal);
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 500);
        EXPECT_EQ(bar->singleStep(), 1);
        EXPECT_EQ(bar->pageStep(), 1);
        EXPECT_EQ(bar->value(), 150);
        EXPECT_FALSE(Child<QLabel>(d, "picIcon")->pixmap().isNull());
        EXPECT_EQ(d->focusWidget(), Child(d, "cmdOK"));
        QTest::keyClick(Child(d, "cmdOK"), Qt::Key_Return);
    });
    shell().ShowSettingsDialog(model);
}

TEST_F(DialogTest, SettingsDialogBarAndRestoreDefaultSetTheStarCount) {
    StartDialog model(game());
    QString afterDrag;
    QString afterRestore;
    int barAfterRestore = -1;
    AnswerNextModal([&](QWidget* d) {
        auto* bar = Child<QScrollBar>(d, "HScroll1");
        auto* text1 = Child<QLineEdit>(d, "Text1");
        bar->setValue(300);
        afterDrag = text1->text();
        QTest::mouseClick(Child(d, "Command1"), Qt::LeftButton);
        afterRestore = text1->text();
        barAfterRestore = bar->value();
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        // Escape leaves the dialog open; its close box acts as OK.
        QTest::keyClick(d, Qt::Key_Escape);
        EXPECT_TRUE(d->isVisible());
        d->close();
    });
    shell().ShowSettingsDialog(model);
    EXPECT_EQ(afterDrag, QStringLiteral("300"));
    EXPECT_EQ(afterRestore, QStringLiteral("150"));
    EXPECT_EQ(barAfterRestore, 150);
    EXPECT_EQ(game().state().numberofstars, 0);
}

TEST_F(DialogTest, SettingsDialogOpensWithTheLastChosenCount) {
    game().state().numberofstars = 420;
    StartDialog model(game());
    int shownOnBar = -1;
    QString shownInBox;
    AnswerNextModal([&](QWidget* d) {
        shownOnBar = Child<QScrollBar>(d, "HScroll1")->value();
        shownInBox = Child<QLineEdit>(d, "Text1")->text();
        QTest::mouseClick(Child(d, "cmdOK"), Qt::LeftButton);
    });
    shell().ShowSettingsDialog(model);
    EXPECT_EQ(shownOnBar, 420);
    EXPECT_EQ(shownInBox, QStringLiteral("420"));
}

// --- The outcome dialogs -------------------------------------------------------------------

struct OutcomeLook {
    OutcomeKind kind;
    QSize client;
    QRect label;
    const char* message;
    QRect ok;
};

const std::vector<OutcomeLook> kOutcomes = {
    {OutcomeKind::frmVessikWin,
     {397, 202},
     {16, 8, 281, 65},
     "You have been absorbed by the Vessik.",
     {232, 160, 49, 33}},
    {OutcomeKind::frmShipBoom,
     {308, 194},
     {16, 8, 281, 129},
     "You have been destroyed by your own photon torpedo detonating too closely to your ship. ",
     {224, 144, 49, 33}},
    {OutcomeKind::frmVessikZap,
     {308, 136},
     {16, 8, 281, 129},
     "You have been destroyed by a Vessik super energy weapon.",
     {224, 96, 49, 33}},
    {OutcomeKind::frmAntiZap,
     {308, 112},
     {8, 8, 297, 129},
     "You have been destroyed by a Vessik antimatter globe.",
     {232, 72, 49, 33}},
    {OutcomeKind::frmUWin,
     {342, 243},
     {16, 8, 281, 113},
     "Congratulations, you have defeated the Vessik.  But for how long?  FOR... HOW... LONG?!",
     {24, 144, 49, 33}},
};

TEST_F(DialogTest, EachOutcomeDialogHasItsLookAndClosesByEnterButNeverBySpace) {
    for (const OutcomeLook& want : kOutcomes) {
        SCOPED_TRACE(OutcomeName(want.kind));
        OutcomeDialog model(game(), want.kind);
        bool openAfterSpace = false;
        AnswerNextModal([&](QWidget* d) {
            EXPECT_EQ(d->objectName(), QString::fromLatin1(OutcomeName(want.kind)));
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Korvane"));
            EXPECT_EQ(d->size(), want.client);
            EXPECT_EQ(d->minimumSize(), d->maximumSize());
            ExpectBoxes(d, {{"Label1", want.label, want.message}, {"cmdClose", want.ok, "OK"}});
            EXPECT_EQ(Child(d, "Label1")->font(), look::MessageFont());
            testing::ExpectTextsFit(d);
            QWidget* ok = Child(d, "cmdClose");
            EXPECT_EQ(d->focusWidget(), ok);
            // Tapping and holding the space bar re-arms OK but never closes the dialog.
            QTest::keyClick(ok, Qt::Key_Space);
            QTest::keyClick(ok, Qt::Key_Space);
            openAfterSpace = d->isVisible();
            QTest::keyClick(ok, Qt::Key_Return);
        });
        shell().ShowOutcomeDialog(model);
        EXPECT_TRUE(openAfterSpace);
        EXPECT_TRUE(model.closed());
    }
}

TEST_F(DialogTest, AClickOnOkClosesAnOutcomeDialogAndSoDoesItsCloseBox) {
    OutcomeDialog clicked(game(), OutcomeKind::frmAntiZap);
    AnswerNextModal([](QWidget* d) { QTest::mouseClick(Child(d, "cmdClose"), Qt::LeftButton); });
    shell().ShowOutcomeDialog(clicked);
    EXPECT_TRUE(clicked.closed());

    OutcomeDialog boxed(game(), OutcomeKind::frmShipBoom);
    bool escapeLeftItOpen = false;
    AnswerNextModal([&](QWidget* d) {
        QTest::keyClick(d, Qt::Key_Escape);
        escapeLeftItOpen = d->isVisible();
        d->close();
    });
    shell().ShowOutcomeDialog(boxed);  // returns: the close box closed it
    EXPECT_TRUE(escapeLeftItOpen);
}

TEST_F(DialogTest, AbsorptionDialogShowsTheVessikPicture) {
    OutcomeDialog model(game(), OutcomeKind::frmVessikWin);
    AnswerNextModal([](QWidget* d) {
        auto* picture = Child<QLabel>(d, "picVessikWin");
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->geometry(), QRect(8, 72, 385, 81));
        EXPECT_EQ(picture->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
                  VessikPicture());
        QTest::mouseClick(Child(d, "cmdClose"), Qt::LeftButton);
    });
    shell().ShowOutcomeDialog(model);
}

TEST(VessikPictureTest, TwoRowsOfGlyphsInTheTwoGreensOnBlack) {
    const QImage picture = VessikPicture();
    ASSERT_EQ(picture.size(), QSize(392, 81));
    EXPECT_EQ(picture, VessikPicture()) << "the picture must be the same every time";
    int dark = 0;
    int light = 0;
    std::vector<int> greenPerRow(81, 0);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb c = picture.pixel(x, y) | 0xFF000000u;
            if (c == kVessikDarkGreen)
                ++dark;
            else if (c == kVessikLightGreen)
                ++light;
            else
                ASSERT_EQ(c, qRgb(0, 0, 0)) << "at " << x << "," << y;
            if (c != qRgb(0, 0, 0)) ++greenPerRow[static_cast<size_t>(y)];
        }
    }
    EXPECT_GT(dark, 500);
    EXPECT_GT(light, 500);
    // Two bands of glyphs with black rows between them and around them.
    int bands = 0;
    for (size_t y = 0; y < greenPerRow.size(); ++y) {
        if (greenPerRow[y] > 0 && (y == 0 || greenPerRow[y - 1] == 0)) ++bands;
    }
    EXPECT_GE(bands, 2);
    EXPECT_EQ(greenPerRow.front(), 0);
    EXPECT_EQ(greenPerRow.back(), 0);
}

TEST_F(DialogTest, VictoryDialogOffersAHarderNextGameOnce) {
    game().state().winscore = 499;
    OutcomeDialog model(game(), OutcomeKind::frmUWin);
    QString before;
    QString after;
    bool enabledAfter = true;
    AnswerNextModal([&](QWidget* d) {
        ExpectBoxes(d, {
                           {"Label2", {112, 128, 137, 17}, "Current score needed to win:"},
                           {"txtCurrentScore", {264, 128, 49, 19}, "500"},
                           {"Label3", {104, 208, 161, 17}, "Next game score needed to win:"},
                           {"txtNextscore", {264, 200, 49, 19}, "500"},
                           {"cmdChangeWinscore",
                            {136, 144, 97, 49},
                            "Make the game harder to win next go-around"},
                       });
        before = Child<QLineEdit>(d, "txtNextscore")->text();
        auto* harder = Child<QPushButton>(d, "cmdChangeWinscore");
        QTest::mouseClick(harder, Qt::LeftButton);
        after = Child<QLineEdit>(d, "txtNextscore")->text();
        enabledAfter = harder->isEnabled();
        EXPECT_EQ(Child<QLineEdit>(d, "txtCurrentScore")->text(), QStringLiteral("500"));
        QTest::mouseClick(Child(d, "cmdClose"), Qt::LeftButton);
    });
    shell().ShowOutcomeDialog(model);
    EXPECT_EQ(before, QStringLiteral("500"));
    EXPECT_EQ(after, QStringLiteral("600"));
    EXPECT_FALSE(enabledAfter);
    EXPECT_EQ(game().state().nextwinscore, 599);
    // The dialog's boxes are gone with it: the victory read-outs reach nothing now.
    EXPECT_EQ(shell().readouts().WidgetFor(Readout::txtNextscore), nullptr);
}

// --- The About box -------------------------------------------------------------------------

TEST_F(DialogTest, AboutBoxRepeatsTheStoryAndHelpAndShowsTheVersion) {
    StartDialog settingsModel(game());
    QString settingsTitle;
    QString settingsStory;
    AnswerNextModal([&](QWidget* d) {
        settingsTitle = Child<QLabel>(d, "lblTitle")->text();
        settingsStory = Child<QLabel>(d, "lblDescription")->text();
        QTest::mouseClick(Child(d, "cmdOK"), Qt::LeftButton);
    });
    shell().ShowSettingsDialog(settingsModel);

    AnswerNextModal([&](QWidget* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("About korvane"));
        EXPECT_EQ(Child<QLabel>(d, "lblVersion")->text(),
                  QStringLiteral("Version 1.02     12.31.2000"));
        EXPECT_EQ(Child<QLabel>(d, "lblTitle2")->text(), settingsTitle);
        EXPECT_EQ(Child<QLabel>(d, "lblDescription")->text(), settingsStory);
        EXPECT_TRUE(settingsTitle.startsWith(QStringLiteral("Korvane ")));
        EXPECT_TRUE(settingsTitle.contains(QStringLiteral("(Nexulon for Windows)")));
        EXPECT_EQ(settingsStory.count(QStringLiteral(".  ")) + 1, 3) << "three sentences";
        EXPECT_EQ(TextOf(Child(d, "Label1")),
                  QStringLiteral("Note that this program is designed to run in at least 800x600 "
                                 "screen resolution, 256 colors or better.  It will probably run "
                                 "best on a 200 mhz. or faster PC, without other Windows "
                                 "programs running."));
        EXPECT_EQ(TextOf(Child(d, "Label2")), QString::fromLatin1(texts::kKeyboardHelp));
        EXPECT_EQ(TextOf(Child(d, "Label10")), QString::fromLatin1(texts::kMouseHelp));
        EXPECT_EQ(TextOf(Child(d, "cmdOK")), QStringLiteral("OK"));
        EXPECT_EQ(TextOf(Child(d, "cmdSysInfo")), QStringLiteral("&System Info..."));
        for (const char* name : {"Label3", "Label4", "lblDisclaimer", "Command1"}) {
            QWidget* w = Child(d, name);
            ASSERT_NE(w, nullptr) << name;
            EXPECT_FALSE(TextOf(w).isEmpty()) << name;
        }
        testing::ExpectTextsFit(d);
        EXPECT_EQ(d->focusWidget(), Child(d, "cmdOK"));
        QTest::mouseClick(Child(d, "cmdOK"), Qt::LeftButton);
    });
    shell().ShowAboutBox();
}

TEST(SysInfoTest, GetKeyValueFindsAnInstalledProgramOrAnswersEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString value = QStringLiteral("left over");
    EXPECT_FALSE(GetKeyValue(QStringLiteral("hardinfo"), value, {dir.path()}));
    EXPECT_TRUE(value.isEmpty());

    QFile tool(dir.filePath(QStringLiteral("hardinfo")));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.write("#!/bin/sh\n");
    tool.close();
    // Not a program until it may be run.
    EXPECT_FALSE(GetKeyValue(QStringLiteral("hardinfo"), value, {dir.path()}));
    tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    EXPECT_TRUE(GetKeyValue(QStringLiteral("hardinfo"), value, {dir.path()}));
    EXPECT_EQ(value, tool.fileName());
}

TEST(SysInfoTest, TheBestInstalledProgramIsChosen) {
    QTemporaryDir dir;
    for (const char* name : {"gnome-system-monitor", "kinfocenter"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
    EXPECT_EQ(FindSysInfoProgram({dir.path()}), dir.filePath(QStringLiteral("kinfocenter")));
}

TEST_F(DialogTest, SystemInfoStartsTheProgramOrSaysItIsUnavailable) {
    QTemporaryDir empty;
    FrmAbout about;
    about.SetSysInfoSearchPath({empty.path()});
    QStringList started;
    about.SetLauncher([&](const QString& program) {
        started << program;
        return true;
    });

    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
    int buttons = 0;
    AnswerNextModal([&](QWidget* m) {
        auto* box = qobject_cast<QMessageBox*>(m);
        ASSERT_NE(box, nullptr);
        caption = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = static_cast<int>(box->buttons().size());
        box->button(QMessageBox::Ok)->click();
    });
    QTest::mouseClick(Child(&about, "cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(caption, QStringLiteral("korvane"));
    EXPECT_EQ(text, QStringLiteral("System Information Is Unavailable At This Time"));
    EXPECT_EQ(icon, QMessageBox::NoIcon);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(started.isEmpty());

    QFile tool(QDir(empty.path()).filePath(QStringLiteral("hardinfo")));
    ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
    tool.close();
    tool.setPermissions(tool.permissions() | QFile::ExeOwner);
    QTest::mouseClick(Child(&about, "cmdSysInfo"), Qt::LeftButton);
    EXPECT_EQ(started, QStringList{tool.fileName()});
}

}  // namespace
}  // namespace korvane
