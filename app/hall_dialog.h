#pragma once
// The hall of fame's own small dialog, after a hall game that scored: a name, "Enter the hall
// of fame", and what the hall answered. It is not one of the game's windows: it opens after
// the game's own dialogs have closed, and the game knows nothing of it.

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvane {

class HallDialog : public QDialog {
  public:
    struct Answer {
        bool entered = false;  // the hall stored the game
        QString text;          // what to show: the rank, or why not
    };
    using Answered = std::function<void(const Answer&)>;
    // Sends the name; calls answered once the hall has answered (or cannot be reached).
    using Send = std::function<void(const QString& name, Answered answered)>;

    HallDialog(int score, Send send, QWidget* parent = nullptr);
    // In place of the name: why the hall took no more of the game.
    HallDialog(const QString& refusal, QWidget* parent = nullptr);
    // A "Your key" button that shows the text made by keyText (the key and where it is kept).
    void SetKeyShown(std::function<QString()> keyText);

  private:
    // The name judged by the hall's own rule: whether it may be sent, and if not why.
    void NameChanged();
    void Enter();
    void ShowAnswer(const Answer& answer);
    // The enter button while the name is one the hall takes and nothing is on its way.
    void UpdateEnter();

    Send send_;
    QLineEdit* name_;
    QPushButton* enter_;
    QPushButton* close_;
    QLabel* answer_;
    bool nameTaken_ = false;
    bool sending_ = false;
    bool entered_ = false;
};

}  // namespace korvane
