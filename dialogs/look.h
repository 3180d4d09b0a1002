#pragma once
// The classic look shared by every window of the game: a small sans font, the light grey
// face, controls placed at fixed boxes in client pixels, and buttons whose captions wrap
// inside the button instead of being clipped.

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QString>

class QApplication;
class QLabel;
class QLineEdit;
class QWidget;

namespace korvane::look {

// The face colour of the windows and buttons, RGB(192,192,192).
inline const QColor kFaceGrey{192, 192, 192};

// The sans font of the period desktops, about 8 points, so that captions fit their boxes.
QFont SmallFont();
// The same family at another size (the outcome dialogs' 18-point message).
QFont SansFont(int pointSize);

// Style, font and palette for the whole program; called once before any window exists.
void InstallLook(QApplication& app);

// Grey face, fixed client size and caption for a top-level window or dialog.
void SetUpWindow(QWidget* window, const QString& caption, int width, int height);

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& box);
QLineEdit* MakeTextBox(QWidget* parent, const char* name, const QRect& box);

// The program's icon, drawn in code: the Halcyra under a Vessik cube among yellow stars.
QPixmap ProgramIcon(int size);

// True when text, word-wrapped (or broken inside a word when a word is too long), fits
// within the given area in this font.
bool TextFitsBox(const QFont& font, const QString& text, const QSize& area);

}  // namespace korvane::look

namespace korvane {

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

WrapButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& box);

}  // namespace korvane
