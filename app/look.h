#pragma once
// The classic look shared by every window of the game: a small sans font, the light grey
// face, and labels and buttons whose texts wrap inside their fixed boxes instead of being
// clipped.

#include <QColor>
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <memory>

class QApplication;
class QWidget;

namespace korvane::look {

// The face colour of the windows and buttons, RGB(192,192,192).
inline const QColor kFaceGrey{192, 192, 192};

// Fonts are sized in pixels, so that text keeps its size against the fixed boxes whatever
// the screen's dots per inch. The period's small system font (8 points) is about as wide as
// a 10-pixel Arial; a wider family is set smaller until it is as wide. Every size below keeps
// that proportion.
QFont SmallFont();
// The outcome dialogs' 18-point message.
QFont MessageFont();
// The bold title line of the settings dialog and the About box.
QFont TitleFont();

// The distance between two lines of wrapped text: as tight as the period's controls set
// them, without the extra leading of today's fonts.
int LineStep(const QFont& font);

// Style, font and palette for the whole program; called once before any window exists.
void InstallLook(QApplication& app);

// The program's icon at the given size, from the pictures in assets/icons built into the
// program: the Halcyra under a Vessik cube among yellow stars.
QPixmap ProgramIcon(int size);

// The game's message box: captioned with the application's title, OK only, no icon; made,
// not shown.
std::unique_ptr<QDialog> MakeMessage(QWidget* parent, const QString& text);

// True when text, word-wrapped (or broken inside a word when a word is too long), fits
// within the given area in this font.
bool TextFitsBox(const QFont& font, const QString& text, const QSize& area);

}  // namespace korvane::look

namespace korvane {

// A label whose text wraps between words (or inside a word too long for a line) with the
// tight line spacing of the period; plain text, every blank kept.
class WrapLabel : public QLabel {
  public:
    WrapLabel(const QString& text, QWidget* parent);

    // How far down the label its text reaches: the lowest ink of its last line, laid out
    // in the label's width. The text is whole when this is within the label's height.
    int InkBottom() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// A command button whose caption wraps onto as many lines as its box needs. The button
// takes the usual bevel, focus and pressed look from the style and draws only the text.
class WrapButton : public QPushButton {
  public:
    WrapButton(const QString& text, QWidget* parent);

    // The area inside the bevel in which the caption is laid out.
    QRect TextArea() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace korvane
