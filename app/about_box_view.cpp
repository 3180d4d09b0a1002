#include "about_box_view.h"

#include <QProcess>
#include <QPushButton>

#include "look.h"
#include "sys_info.h"
#include "texts.h"
#include "window_builder.h"
#include "window_descriptions.h"

namespace korvane {

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    BuildWindow(this, WindowNamed("frmAbout"));
    launch_ = [](const QString& program) { return QProcess::startDetached(program, {}); };
    connect(findChild<QPushButton*>(QStringLiteral("cmdOK")), &QPushButton::clicked, this,
            &QDialog::accept);
    connect(findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), &QPushButton::clicked, this,
            &FrmAbout::StartSysInfo);
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
