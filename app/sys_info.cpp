#include "sys_info.h"

#include <QStandardPaths>

namespace korvane {

const QStringList& SysInfoPrograms() {
    static const QStringList programs = {QStringLiteral("hardinfo2"),
                                         QStringLiteral("hardinfo"),
                                         QStringLiteral("kinfocenter"),
                                         QStringLiteral("lshw-gtk"),
                                         QStringLiteral("gnome-system-monitor"),
                                         QStringLiteral("mate-system-monitor"),
                                         QStringLiteral("xfce4-taskmanager")};
    return programs;
}

bool GetKeyValue(const QString& keyName, QString& keyVal, const QStringList& searchPath) {
    keyVal = QStandardPaths::findExecutable(keyName, searchPath);
    return !keyVal.isEmpty();
}

QString FindSysInfoProgram(const QStringList& searchPath) {
    QString path;
    for (const QString& name : SysInfoPrograms()) {
        if (GetKeyValue(name, path, searchPath)) return path;
    }
    return {};
}

}  // namespace korvane
