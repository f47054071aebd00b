#include "platform/core/launch.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace platform {

bool ProgramExists(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

bool StartProgram(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const std::string& a : args) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
}

}  // namespace platform
