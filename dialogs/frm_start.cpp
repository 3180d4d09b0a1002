#include "frm_start.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <utility>

#include "game_state.h"
#include "look.h"
#include "readout_registry.h"
#include "start_dialog.h"
#include "texts.h"

namespace korvane {

using look::MakeLabel;
using look::MakeTextBox;

FrmStart::FrmStart(StartDialog& model, ReadoutRegistry& readouts, QWidget* parent)
    : QDialog(parent), model_(model), readouts_(readouts) {
    setObjectName(QStringLiteral("frmStart"));
    look::SetUpWindow(this, QString::fromLatin1(texts::kDialogCaption), 508, 291);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setGeometry(32, 8, 36, 36);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(look::ProgramIcon(32));

    QLabel* title =
        MakeLabel(this, "lblTitle", QString::fromLatin1(texts::kTitleLine), QRect(104, 8, 387, 24));
    title->setFont(look::TitleFont());

    version_ = MakeLabel(this, "lblVersion", QString::fromLatin1(texts::kVersionDesign),
                         QRect(96, 40, 259, 15));
    MakeLabel(this, "lblDescription", QString::fromLatin1(texts::kStory), QRect(24, 64, 467, 54));
    MakeLabel(this, "Label2", QString::fromLatin1(texts::kKeyboardHelp), QRect(24, 128, 281, 57));
    MakeLabel(this, "Label10", QString::fromLatin1(texts::kMouseHelp), QRect(328, 128, 169, 57));

    // The separator between the keyboard and the mouse help, from (312,128) to (312,176).
    auto* line = new QFrame(this);
    line->setObjectName(QStringLiteral("Line1"));
    line->setGeometry(312, 128, 1, 49);
    line->setAutoFillBackground(true);
    QPalette linePalette = line->palette();
    linePalette.setColor(QPalette::Window, Qt::black);
    line->setPalette(linePalette);

    MakeLabel(this, "Label11",
              QStringLiteral("Change the number of stars if the game runs too slowly or too "
                             "fast on your computer."),
              QRect(40, 186, 401, 17));

    QPushButton* ok = MakeButton(this, "cmdOK", QStringLiteral("OK"), QRect(440, 200, 57, 33));
    MakeLabel(this, "Label1", QStringLiteral("Number of Stars:"), QRect(64, 216, 137, 17));
    text1_ = MakeTextBox(this, "Text1", QRect(168, 208, 33, 19));
    QPushButton* restore =
        MakeButton(this, "Command1", QStringLiteral("-"), QRect(232, 208, 25, 17));
    MakeLabel(this, "Label8", QStringLiteral("Restore Default"), QRect(272, 208, 81, 17));

    bar_ = new QScrollBar(Qt::Horizontal, this);
    bar_->setObjectName(QStringLiteral("HScroll1"));
    bar_->setGeometry(24, 232, 409, 17);
    bar_->setRange(kMinStars, kMaxStars);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
    bar_->setValue(0);
    // Tab reaches the bar as any scroll bar of a dialog; its keys then move it (see
    // eventFilter), each a change like a click on it.
    bar_->setFocusPolicy(Qt::StrongFocus);
    bar_->installEventFilter(this);

    // Tick marks under the bar: its left end, the default of 150, its right end.
    MakeLabel(this, "Label4", QStringLiteral("^"), QRect(40, 256, 25, 9));
    MakeLabel(this, "Label6", QStringLiteral("^"), QRect(152, 256, 25, 9));
    MakeLabel(this, "Label5", QStringLiteral("^"), QRect(416, 256, 25, 9));
    MakeLabel(this, "Label3", QStringLiteral("really old slow PC"), QRect(0, 272, 97, 17));
    MakeLabel(this, "Label7", QStringLiteral("default"), QRect(144, 272, 73, 17));
    MakeLabel(this, "Label9", QStringLiteral("future really really fast PC"),
              QRect(304, 272, 121, 17));

    readouts_.Attach(Readout::Text1, text1_);

    connect(bar_, &QScrollBar::valueChanged, this, [this](int value) {
        model_.SetScrollValue(static_cast<int16_t>(value));
        ShowScrollValue();
    });
    connect(restore, &QPushButton::clicked, this, [this] {
        model_.Command1_Click();
        ShowScrollValue();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    ok->setDefault(true);
    ok->setFocus();
}

FrmStart::~FrmStart() {
    readouts_.Detach(Readout::Text1, text1_);
}

void FrmStart::Load() {
    version_->setText(QString::fromLatin1(texts::kVersionPrefix) +
                      QString::fromLatin1(texts::kVersion));
    model_.Form_Load();
    ShowScrollValue();
}

void FrmStart::ShowScrollValue() {
    // Moving the bar to where the rules left it raises valueChanged once more, which the
    // rules see as no change.
    if (bar_->value() != model_.scrollValue()) bar_->setValue(model_.scrollValue());
}

bool FrmStart::eventFilter(QObject* watched, QEvent* event) {
    if (watched != bar_ || event->type() != QEvent::KeyPress) return false;
    // A scroll bar's keys: left and up step towards 0, right and down towards 500, a page
    // likewise, Home and End to the ends. Qt's own mapping turns some of them around.
    using A = QAbstractSlider;
    static constexpr std::pair<int, A::SliderAction> kKeys[] = {
        {Qt::Key_Left, A::SliderSingleStepSub},  {Qt::Key_Up, A::SliderSingleStepSub},
        {Qt::Key_Right, A::SliderSingleStepAdd}, {Qt::Key_Down, A::SliderSingleStepAdd},
        {Qt::Key_PageUp, A::SliderPageStepSub},  {Qt::Key_PageDown, A::SliderPageStepAdd},
        {Qt::Key_Home, A::SliderToMinimum},      {Qt::Key_End, A::SliderToMaximum}};
    const int key = static_cast<QKeyEvent*>(event)->key();
    for (const auto& [k, action] : kKeys) {
        if (k != key) continue;
        bar_->triggerAction(action);
        return true;
    }
    return false;
}

void FrmStart::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvane
