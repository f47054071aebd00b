// Writes the application icon into an icon theme folder for the desktop:
//   RzIconExporter THEME_FOLDER NAME  ->  THEME_FOLDER/<n>x<n>/apps/NAME.png
#include "resources/cursors.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s THEME_FOLDER NAME\n", argv[0]);
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]) + ".png";
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = theme.filePath(QStringLiteral("%1x%1/apps").arg(size));
        if (!QDir().mkpath(folder) ||
            !resources::AppIconImage(size).save(QDir(folder).filePath(name), "PNG")) {
            std::fprintf(stderr, "cannot write the %dx%d icon under %s\n", size, size, argv[1]);
            return 1;
        }
    }
    return 0;
}
