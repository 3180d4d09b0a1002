#include "window_builder.h"

#include <QDesktopServices>
#include <QDialog>
#include <QImage>
#include <QLineEdit>
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

// Grey, or the colour given, all over.
void Paint(QWidget* widget, const QColor& colour = look::kFaceGrey) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* PictureLabel(QWidget* window, const QPixmap& pixmap, Qt::Alignment alignment) {
    auto* label = new QLabel(window);
    label->setAlignment(alignment);
    label->setPixmap(pixmap);
    return label;
}

// The absorption dialog's picture.
QImage VessikImage() {
    QImage image;
    PixelsToImage(VessikPicture().data(), kVessikPictureWidth, kVessikPictureHeight, image);
    return image;
}

// One control, named and placed by the caller.
QWidget* MakeControl(QWidget* window, const ControlInfo& c, QWidget* torpedoBox) {
    const QString text = QString::fromLatin1(c.text);
    switch (c.kind) {
        case ControlKind::Viewscreen:
            return new Viewscreen(window);
        case ControlKind::TableButtons:
            return nullptr;  // BuildWindow makes them from the table
        case ControlKind::Button:
            return new WrapButton(text, window);
        case ControlKind::LinkButton: {
            auto* link = new WrapButton(text, window);
            // Nothing is reported if the desktop cannot open it.
            QObject::connect(link, &QPushButton::clicked, link,
                             [text] { QDesktopServices::openUrl(QUrl(text)); });
            return link;
        }
        case ControlKind::SystemButton:
            // A plain button keeps the access key of its caption working (Alt+S).
            return new QPushButton(text, window);
        case ControlKind::Label:
            return new WrapLabel(text, window);
        case ControlKind::Title:
        case ControlKind::Message: {
            auto* label = new WrapLabel(text, window);
            label->setFont(c.kind == ControlKind::Title ? look::TitleFont() : look::MessageFont());
            return label;
        }
        case ControlKind::TextBox: {
            auto* edit = new QLineEdit(window);
            // The read-outs only show numbers that the game writes; nothing reads them back.
            edit->setReadOnly(true);
            edit->setTextMargins(0, 0, 0, 0);
            return edit;
        }
        case ControlKind::ScrollBar: {
            auto* bar = new QScrollBar(Qt::Horizontal, window);
            // A fresh bar stands at its low end; a step and a page are each one.
            bar->setRange(c.low, c.high);
            bar->setPageStep(1);
            return bar;
        }
        case ControlKind::Icon:
            return PictureLabel(window, look::ProgramIcon(32), Qt::AlignCenter);
        case ControlKind::Line:
        case ControlKind::TorpedoBox: {
            auto* box = new QWidget(window);
            Paint(box, c.kind == ControlKind::Line ? QColor(Qt::black) : QColor(255, 0, 0));
            return box;
        }
        case ControlKind::Picture:
            return PictureLabel(window, QPixmap::fromImage(VessikImage()),
                                Qt::AlignLeft | Qt::AlignTop);
        case ControlKind::Indicator: {
            auto* option = new QRadioButton(torpedoBox ? torpedoBox : window);
            // Indicators only: the game sets them, the player cannot.
            option->setAttribute(Qt::WA_TransparentForMouseEvents);
            option->setFocusPolicy(Qt::NoFocus);
            option->setAutoExclusive(false);
            return option;
        }
    }
    return nullptr;
}

void Place(QWidget* control, const char* name, const std::array<int, 4>& box) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(box[0], box[1], box[2], box[3]);
}

}  // namespace

void BuildWindow(QWidget* window, const WindowInfo& info) {
    window->setObjectName(QString::fromLatin1(info.name));
    Paint(window);
    window->setWindowTitle(QString::fromLatin1(info.caption));
    window->setFixedSize(info.width, info.height);
    if (qobject_cast<QDialog*>(window)) {
        window->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowCloseButtonHint);
    }
    QWidget* torpedoBox = nullptr;
    for (const ControlInfo& c : info.controls) {
        if (c.kind == ControlKind::TableButtons) {
            for (const ButtonInfo* b = FindButton(c.name); b <= FindButton(c.text); ++b) {
                Place(new WrapButton(QString::fromLatin1(b->caption), window), b->name, b->box);
            }
            continue;
        }
        QWidget* control = MakeControl(window, c, torpedoBox);
        Place(control, c.name, c.box);
        if (c.kind == ControlKind::TorpedoBox) torpedoBox = control;
    }
    if (auto* focus = window->findChild<QWidget*>(QString::fromLatin1(info.focus))) {
        if (auto* button = qobject_cast<QPushButton*>(focus)) button->setDefault(true);
        focus->setFocus();
    }
}

}  // namespace korvane
