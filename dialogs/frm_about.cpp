#include "frm_about.h"

#include <QDesktopServices>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

#include "look.h"
#include "sys_info.h"
#include "texts.h"

namespace korvane {

using look::MakeLabel;

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    look::SetUpWindow(this, QString::fromLatin1(texts::kAppTitle), 520, 370);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setGeometry(16, 16, 36, 36);
    icon->setAlignment(Qt::AlignCenter);
    icon->setPixmap(look::ProgramIcon(32));

    QLabel* title = MakeLabel(this, "lblTitle2", QString::fromLatin1(texts::kTitleLine),
                              QRect(72, 16, 432, 24));
    title->setFont(look::TitleFont());
    version_ = MakeLabel(this, "lblVersion", QString::fromLatin1(texts::kVersionDesign),
                         QRect(72, 40, 259, 15));
    MakeLabel(this, "lblDescription", QString::fromLatin1(texts::kStory), QRect(72, 62, 432, 56));
    MakeLabel(this, "Label1", QString::fromLatin1(texts::kScreenNote), QRect(72, 122, 432, 38));
    MakeLabel(this, "Label2", QString::fromLatin1(texts::kKeyboardHelp), QRect(16, 170, 281, 57));
    MakeLabel(this, "Label10", QString::fromLatin1(texts::kMouseHelp), QRect(320, 170, 184, 57));
    MakeLabel(this, "Label3", QString::fromLatin1(texts::kThanks), QRect(16, 238, 488, 17));
    MakeLabel(this, "Label4", QString::fromLatin1(texts::kAuthor), QRect(16, 258, 488, 17));
    MakeLabel(this, "lblDisclaimer", QString::fromLatin1(texts::kDisclaimer),
              QRect(16, 286, 372, 30));

    QPushButton* home = MakeButton(this, "Command1", QString::fromLatin1(texts::kHomePage),
                                   QRect(16, 330, 220, 25));
    QPushButton* ok = MakeButton(this, "cmdOK", QStringLiteral("OK"), QRect(408, 286, 97, 25));
    // A plain button keeps the access key of its caption working (Alt+S).
    auto* sysInfo = new QPushButton(QString::fromLatin1(texts::kSysInfoCaption), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setGeometry(408, 320, 97, 25);

    launch_ = [](const QString& program) { return QProcess::startDetached(program, {}); };

    connect(home, &QPushButton::clicked, this, [] {
        // Nothing is reported if the desktop cannot open it.
        QDesktopServices::openUrl(QUrl(QString::fromLatin1(texts::kHomePage)));
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(sysInfo, &QPushButton::clicked, this, &FrmAbout::StartSysInfo);

    ok->setDefault(true);
    ok->setFocus();
}

void FrmAbout::Load() {
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(texts::kAppTitle));
    version_->setText(QString::fromLatin1(texts::kVersionPrefix) +
                      QString::fromLatin1(texts::kVersion));
}

void FrmAbout::StartSysInfo() {
    const QString program = FindSysInfoProgram(searchPath_);
    if (program.isEmpty()) {
        look::ShowMessage(this, QString::fromLatin1(texts::kSysInfoUnavailable));
        return;
    }
    // A program that will not start fails quietly, as any error here does.
    launch_(program);
}

}  // namespace korvane
