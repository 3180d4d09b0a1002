#include "frm_outcome.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "look.h"
#include "readout_registry.h"
#include "texts.h"
#include "vessik_picture.h"

namespace korvane {

OutcomeLayout LayoutOf(OutcomeKind kind) {
    switch (kind) {
        case OutcomeKind::frmVessikWin:
            return {{397, 202}, {16, 8, 281, 65}, {232, 160, 49, 33}};
        case OutcomeKind::frmShipBoom:
            return {{308, 194}, {16, 8, 281, 129}, {224, 144, 49, 33}};
        case OutcomeKind::frmVessikZap:
            return {{308, 136}, {16, 8, 281, 129}, {224, 96, 49, 33}};
        case OutcomeKind::frmAntiZap:
            return {{308, 112}, {8, 8, 297, 129}, {232, 72, 49, 33}};
        case OutcomeKind::frmUWin:
            return {{342, 243}, {16, 8, 281, 113}, {24, 144, 49, 33}};
    }
    return {};
}

FrmOutcome::FrmOutcome(OutcomeDialog& model, ReadoutRegistry& readouts, QWidget* parent)
    : QDialog(parent), model_(model), readouts_(readouts) {
    const OutcomeKind kind = model.kind();
    const OutcomeLayout layout = LayoutOf(kind);
    setObjectName(QString::fromLatin1(OutcomeName(kind)));
    look::SetUpWindow(this, QString::fromLatin1(texts::kDialogCaption), layout.client.width(),
                      layout.client.height());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    QLabel* message =
        look::MakeLabel(this, "Label1", QString::fromLatin1(OutcomeMessage(kind)), layout.message);
    message->setFont(look::MessageFont());

    if (kind == OutcomeKind::frmVessikWin) {
        auto* picture = new QLabel(this);
        picture->setObjectName(QStringLiteral("picVessikWin"));
        picture->setGeometry(8, 72, 385, 81);
        // The bitmap is a little wider than its box; the box shows its left part.
        picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        picture->setPixmap(QPixmap::fromImage(VessikPicture()));
    }

    close_ = MakeButton(this, "cmdClose", QStringLiteral("OK"), layout.ok);
    close_->installEventFilter(this);
    connect(close_, &QPushButton::clicked, this, [this] {
        if (model_.cmdClose_Click()) accept();
    });

    if (kind == OutcomeKind::frmUWin) {
        look::MakeLabel(this, "Label2", QStringLiteral("Current score needed to win:"),
                        QRect(112, 128, 137, 17));
        currentScore_ = look::MakeTextBox(this, "txtCurrentScore", QRect(264, 128, 49, 19));
        QPushButton* harder = MakeButton(
            this, "cmdChangeWinscore", QStringLiteral("Make the game harder to win next go-around"),
            QRect(136, 144, 97, 49));
        look::MakeLabel(this, "Label3", QStringLiteral("Next game score needed to win:"),
                        QRect(104, 208, 161, 17));
        nextScore_ = look::MakeTextBox(this, "txtNextscore", QRect(264, 200, 49, 19));
        readouts_.Attach(Readout::txtCurrentScore, currentScore_);
        readouts_.Attach(Readout::txtNextscore, nextScore_);
        connect(harder, &QPushButton::clicked, this, [this, harder] {
            model_.cmdChangeWinscore_Click();
            harder->setEnabled(model_.changeWinscoreEnabled());
        });
        setTabOrder(close_, harder);
    }

    close_->setDefault(true);
    close_->setFocus();
}

FrmOutcome::~FrmOutcome() {
    if (currentScore_) readouts_.Detach(Readout::txtCurrentScore, currentScore_);
    if (nextScore_) readouts_.Detach(Readout::txtNextscore, nextScore_);
}

void FrmOutcome::Load() {
    model_.Form_Load();
}

bool FrmOutcome::eventFilter(QObject* watched, QEvent* event) {
    // Every key press on OK reaches the rules before the button sees it: a space press
    // disarms the click that the button makes of it when the space bar comes up.
    if (watched == close_ && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (text.size() == 1) model_.cmdClose_KeyPress(text.at(0).unicode());
    }
    return QDialog::eventFilter(watched, event);
}

void FrmOutcome::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace korvane
