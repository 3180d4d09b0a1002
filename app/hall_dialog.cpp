#include "hall_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "name_rule.h"

namespace korvane {

HallDialog::HallDialog(int score, Send send, QWidget* parent)
    : QDialog(parent),
      send_(std::move(send)),
      name_(new QLineEdit(this)),
      enter_(new QPushButton(QStringLiteral("Enter the hall of fame"), this)),
      close_(new QPushButton(QStringLiteral("Cancel"), this)),
      answer_(new QLabel(this)) {
    setObjectName(QStringLiteral("hallDialog"));
    setWindowTitle(QStringLiteral("Korvane: hall of fame"));
    name_->setObjectName(QStringLiteral("hallName"));
    enter_->setObjectName(QStringLiteral("hallEnter"));
    close_->setObjectName(QStringLiteral("hallClose"));
    answer_->setObjectName(QStringLiteral("hallAnswer"));
    name_->setPlaceholderText(QStringLiteral("your name"));
    // Room for a name of characters of two UTF-16 units each, or typed as letters and the
    // marks NFC joins to them; the rule counts the characters.
    name_->setMaxLength(names::kMaxNameCharacters * 4);
    enter_->setDefault(true);
    answer_->setWordWrap(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(enter_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Your score: %1").arg(score), this));
    layout->addWidget(name_);
    layout->addLayout(buttons);
    layout->addWidget(answer_);

    connect(name_, &QLineEdit::textChanged, this, [this] { NameChanged(); });
    connect(enter_, &QPushButton::clicked, this, [this] { Enter(); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    UpdateEnter();
    name_->setFocus();
}

HallDialog::HallDialog(const QString& refusal, QWidget* parent) : HallDialog(0, nullptr, parent) {
    for (QWidget* asking : findChildren<QWidget*>()) {
        if (asking != close_ && asking != answer_) asking->hide();
    }
    answer_->setText(refusal);
    close_->setText(QStringLiteral("Close"));
    close_->setFocus();
}

void HallDialog::SetKeyShown(std::function<QString()> keyText) {
    auto* show = new QPushButton(QStringLiteral("Your key"), this);
    show->setObjectName(QStringLiteral("hallKeyShow"));
    show->setAutoDefault(false);
    layout()->addWidget(show);
    connect(show, &QPushButton::clicked, this, [this, keyText = std::move(keyText)] {
        answer_->setTextInteractionFlags(Qt::TextSelectableByMouse);
        answer_->setText(keyText());
    });
}

void HallDialog::NameChanged() {
    const names::NameVerdict verdict = names::CheckName(name_->text().toStdString());
    nameTaken_ = verdict.taken;
    if (!sending_) {
        answer_->setText(name_->text().isEmpty() ? QString()
                                                 : QString::fromStdString(verdict.refusal));
    }
    UpdateEnter();
}

void HallDialog::UpdateEnter() {
    enter_->setEnabled(!sending_ && !entered_ && nameTaken_);
}

void HallDialog::Enter() {
    if (sending_ || entered_ || !nameTaken_) return;
    sending_ = true;
    UpdateEnter();
    answer_->setText(QStringLiteral("Sending ..."));
    // The answer may come after the player closed the dialog: then it is dropped.
    QPointer<HallDialog> self(this);
    send_(name_->text(), [self](const Answer& answer) {
        if (self) self->ShowAnswer(answer);
    });
}

void HallDialog::ShowAnswer(const Answer& answer) {
    sending_ = false;
    entered_ = answer.entered;
    answer_->setText(answer.text);
    if (entered_) {
        name_->setEnabled(false);
        close_->setText(QStringLiteral("Close"));
        close_->setFocus();
    }
    UpdateEnter();
}

}  // namespace korvane
