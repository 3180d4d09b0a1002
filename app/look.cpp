#include "look.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTextLayout>
#include <QtMath>

#include "texts.h"
#include "window_descriptions.h"

namespace korvane::look {

namespace {

// Families with the plain shapes and narrow widths of the period's system font, best
// first. DejaVu Sans, which nearly every desktop has, is wider.
const QStringList kNarrowFamilies = {"Liberation Sans", "Arial", "Nimbus Sans", "Helvetica"};
const QString kWideFamily = QStringLiteral("DejaVu Sans");  // set smaller, see SmallFont

QString ChosenFamily() {
    static const QString family = [] {
        // Installed names may carry their foundry: "Nimbus Sans [urw]".
        QStringList installed;
        for (const QString& name : QFontDatabase::families()) {
            installed << name.section(QLatin1Char('['), 0, 0).trimmed();
        }
        for (const QString& f : kNarrowFamilies) {
            if (installed.contains(f, Qt::CaseInsensitive)) return f;
        }
        return kWideFamily;
    }();
    return family;
}

// Lays out text in lines of the given width, breaking between words and, when a word
// alone is too wide, inside it; returns the height of the laid-out text.
qreal LayOutText(QTextLayout& layout, qreal width, Qt::Alignment alignment) {
    QTextOption option(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const qreal step = LineStep(layout.font());
    // Each line's capitals sit in the middle of its step, whatever the font's own ascent
    // and descent, so that a caption looks centred in its button.
    const QFontMetricsF metrics(layout.font());
    qreal y = step / 2 - (metrics.ascent() - metrics.capHeight() / 2);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        y += step;
    }
    layout.endLayout();
    return layout.lineCount() * step;
}

// The small font's nominal size, and a line of the settings dialog that the period's font
// set within its 401-pixel box: the chosen family must do the same.
constexpr int kSmallPixels = 10;
constexpr int kSmallestPixels = 8;
constexpr const char* kCalibrationText = texts::kStarsHelp;
constexpr int kCalibrationWidth = 396;

QFont FontOfSize(int pixels) {
    QFont font(ChosenFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    return font;
}

// How many pixels the chosen family needs to be as wide as the period's font at 10.
int SmallPixels() {
    static const int pixels = [] {
        for (int px = kSmallPixels; px > kSmallestPixels; --px) {
            const QFontMetrics metrics(FontOfSize(px));
            if (metrics.horizontalAdvance(QString::fromLatin1(kCalibrationText)) <=
                kCalibrationWidth) {
                return px;
            }
        }
        return kSmallestPixels;
    }();
    return pixels;
}

// A size given for the 10-pixel small font, in the chosen family's proportion.
QFont ScaledFont(int nominalPixels) {
    return FontOfSize((nominalPixels * SmallPixels() + kSmallPixels / 2) / kSmallPixels);
}

}  // namespace

QFont SmallFont() {
    return ScaledFont(kSmallPixels);
}
QFont MessageFont() {
    return ScaledFont(24);
}

QFont TitleFont() {
    QFont font = ScaledFont(12);
    font.setBold(true);
    return font;
}

int LineStep(const QFont& font) {
    const int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    return (pixels * 23 + 10) / 20;  // 1.15 times the size, rounded
}

void InstallLook(QApplication& app) {
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) app.setStyle(fusion);
    app.setFont(SmallFont());
    QPalette palette = app.palette();
    palette.setColor(QPalette::Window, kFaceGrey);
    palette.setColor(QPalette::Button, kFaceGrey);
    app.setPalette(palette);
    app.setWindowIcon(QIcon(ProgramIcon(32)));
}

std::unique_ptr<QDialog> MakeMessage(QWidget* parent, const QString& text) {
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::NoIcon, QString::fromLatin1(WindowNamed("MsgBox").caption), text,
        QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("MessageBox"));
    return box;
}

bool TextFitsBox(const QFont& font, const QString& text, const QSize& area) {
    QTextLayout layout(text, font);
    const qreal height = LayOutText(layout, area.width(), Qt::AlignHCenter);
    for (int i = 0; i < layout.lineCount(); ++i) {
        if (layout.lineAt(i).naturalTextWidth() > area.width() + 0.5) return false;
    }
    return height <= area.height() + 0.5;
}

QPixmap ProgramIcon(int size) {
    // The icon the desktop shows, drawn once at every size it needs (assets/icons) and built
    // into the program; the nearest larger picture is scaled down without blurring.
    for (int drawn : {16, 24, 32, 48, 64, 128, 256}) {
        if (drawn < size && drawn != 256) continue;
        const QPixmap picture(QStringLiteral(":/icons/korvane-%1.png").arg(drawn));
        if (drawn == size || picture.isNull()) return picture;
        return picture.scaled(size, size, Qt::KeepAspectRatio, Qt::FastTransformation);
    }
    return {};
}

}  // namespace korvane::look

namespace korvane {

WrapLabel::WrapLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    // Plain text keeps every blank of the captions as it stands.
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setText(text);
}

int WrapLabel::InkBottom() const {
    // Font metrics only bound a glyph's box; drawing the text shows where its ink really
    // ends. The canvas is tall enough for any text that the label's width lays out.
    QTextLayout layout(text(), font());
    const qreal height = look::LayOutText(layout, width(), Qt::AlignLeft);
    QImage canvas(qMax(1, width()), qCeil(height) + 2 * look::LineStep(font()) + 1,
                  QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        painter.setPen(Qt::black);
        layout.draw(&painter, QPointF(0, 0));
    }
    for (int y = canvas.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < canvas.width(); ++x) {
            if (row[x] != qRgb(255, 255, 255)) return y + 1;
        }
    }
    return 0;
}

void WrapLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    QTextLayout layout(text(), font());
    look::LayOutText(layout, width(), Qt::AlignLeft);
    painter.setPen(palette().color(QPalette::WindowText));
    layout.draw(&painter, QPointF(0, 0));
}

WrapButton::WrapButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

QRect WrapButton::TextArea() const {
    return rect().adjusted(2, 1, -2, -1);
}

void WrapButton::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option);

    QRect area = TextArea();
    if (isDown() || isChecked()) area.translate(1, 1);  // the caption moves with the press
    QTextLayout layout(text(), font());
    const qreal height = look::LayOutText(layout, area.width(), Qt::AlignHCenter);
    const QPointF at(area.left(), area.top() + (area.height() - height) / 2.0);
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::ButtonText));
    } else {
        // A disabled caption is etched into the face: white below, grey above.
        painter.setPen(Qt::white);
        layout.draw(&painter, at + QPointF(1, 1));
        painter.setPen(QColor(128, 128, 128));
    }
    layout.draw(&painter, at);
}

}  // namespace korvane
