#include "skin/builtin_skin.h"

#include "companions/diary/diary.h"
#include "platform/core/paths.h"
#include "platform/ui/pixels.h"

#include <QFile>
#include <QImageReader>
#include <mutex>
#include <set>

namespace skin {

QImage BuiltInSkin(const std::string& path) {
    const std::string folder = platform::GetProgramFolder() + "skins/";
    if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0) return {};
    const std::string name = path.substr(folder.size());
    const QString resource = QStringLiteral(":/skins/") + QString::fromStdString(name);
    if (!QFile::exists(resource)) return {};
    QImageReader reader(resource, "BMP");
    QImage image = platform::ToRgb32(reader.read());

    static std::mutex mutex;
    static std::set<std::string> logged;
    std::lock_guard lock(mutex);
    if (logged.insert(name).second) {
        const std::string line = "Skin bitmap " + path + " is missing or unreadable: the built-in picture is used";
        WriteLogLine(line.c_str());
    }
    return image;
}

}  // namespace skin
