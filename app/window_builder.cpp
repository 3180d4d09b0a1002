#include "window_builder.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QUrl>

#include "buttons.h"
#include "look.h"
#include "vessik_picture.h"
#include "viewscreen.h"
#include "window_descriptions.h"

namespace korvane {

namespace {

QRect BoxOf(const ControlInfo& c) {
    return {c.box[0], c.box[1], c.box[2], c.box[3]};
}

QLabel* MakePictureLabel(QWidget* window, const ControlInfo& c, const QPixmap& pixmap,
                         Qt::Alignment alignment) {
    auto* label = new QLabel(window);
    label->setGeometry(BoxOf(c));
    label->setAlignment(alignment);
    label->setPixmap(pixmap);
    return label;
}

void FillWith(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// The table's buttons from first to last, in table order (which is the tab order).
void MakeTableButtons(QWidget* window, std::string_view first, std::string_view last) {
    for (const ButtonInfo* b = FindButton(first); b <= FindButton(last); ++b) {
        const auto& [left, top, width, height] = b->box;
        MakeButton(window, b->name, QString::fromLatin1(b->caption), {left, top, width, height});
    }
}

// One control; null for the table's buttons, which are several.
QWidget* MakeControl(QWidget* window, const ControlInfo& c, QWidget* torpedoBox) {
    const QString text = QString::fromLatin1(c.text);
    switch (c.kind) {
        case ControlKind::Viewscreen: {
            auto* screen = new Viewscreen(window);
            screen->setGeometry(BoxOf(c));
            return screen;
        }
        case ControlKind::TableButtons:
            MakeTableButtons(window, c.name, c.text);
            return nullptr;
        case ControlKind::Button:
            return MakeButton(window, c.name, text, BoxOf(c));
        case ControlKind::LinkButton: {
            QPushButton* link = MakeButton(window, c.name, text, BoxOf(c));
            // Nothing is reported if the desktop cannot open it.
            QObject::connect(link, &QPushButton::clicked, link,
                             [text] { QDesktopServices::openUrl(QUrl(text)); });
            return link;
        }
        case ControlKind::SystemButton: {
            // A plain button keeps the access key of its caption working (Alt+S).
            auto* button = new QPushButton(text, window);
            button->setGeometry(BoxOf(c));
            return button;
        }
        case ControlKind::Label:
            return look::MakeLabel(window, c.name, text, BoxOf(c));
        case ControlKind::Title:
        case ControlKind::Message: {
            QLabel* label = look::MakeLabel(window, c.name, text, BoxOf(c));
            label->setFont(c.kind == ControlKind::Title ? look::TitleFont() : look::MessageFont());
            return label;
        }
        case ControlKind::TextBox:
            return look::MakeTextBox(window, c.name, BoxOf(c));
        case ControlKind::ScrollBar: {
            auto* bar = new QScrollBar(Qt::Horizontal, window);
            bar->setGeometry(BoxOf(c));
            return bar;
        }
        case ControlKind::Icon:
            return MakePictureLabel(window, c, look::ProgramIcon(32), Qt::AlignCenter);
        case ControlKind::Line: {
            auto* line = new QFrame(window);
            line->setGeometry(BoxOf(c));
            FillWith(line, Qt::black);
            return line;
        }
        case ControlKind::Picture:
            return MakePictureLabel(window, c, QPixmap::fromImage(VessikImage()),
                                    Qt::AlignLeft | Qt::AlignTop);
        case ControlKind::TorpedoBox: {
            auto* box = new QWidget(window);
            box->setGeometry(BoxOf(c));
            FillWith(box, QColor(255, 0, 0));
            return box;
        }
        case ControlKind::Indicator: {
            auto* option = new QRadioButton(torpedoBox ? torpedoBox : window);
            option->setGeometry(BoxOf(c));
            // Indicators only: the game sets them, the player cannot.
            option->setAttribute(Qt::WA_TransparentForMouseEvents);
            option->setFocusPolicy(Qt::NoFocus);
            option->setAutoExclusive(false);
            return option;
        }
    }
    return nullptr;
}

}  // namespace

void BuildWindow(QWidget* window, const WindowInfo& info) {
    window->setObjectName(QString::fromLatin1(info.name));
    look::SetUpWindow(window, QString::fromLatin1(info.caption), info.width, info.height);
    if (qobject_cast<QDialog*>(window)) {
        window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
    }
    QWidget* torpedoBox = nullptr;
    for (const ControlInfo& c : info.controls) {
        QWidget* control = MakeControl(window, c, torpedoBox);
        if (!control) continue;
        control->setObjectName(QString::fromLatin1(c.name));
        if (c.kind == ControlKind::TorpedoBox) torpedoBox = control;
    }
    if (auto* focus = window->findChild<QWidget*>(QString::fromLatin1(info.focus))) {
        if (auto* button = qobject_cast<QPushButton*>(focus)) button->setDefault(true);
        focus->setFocus();
    }
}

QImage VessikImage() {
    QImage image(kVessikPictureWidth, kVessikPictureHeight, QImage::Format_RGB32);
    const std::vector<Color> pixels = VessikPicture();
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const Color c = pixels[static_cast<size_t>(y * image.width() + x)];
            row[x] = qRgb(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                          static_cast<int>((c >> 16) & 0xFF));
        }
    }
    return image;
}

}  // namespace korvane
