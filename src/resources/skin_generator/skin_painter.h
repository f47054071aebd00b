#pragma once
// The skin bitmaps of the recorder, drawn with QPainter: the main window background, the button
// strips (normal, hover, pressed or checked, disabled side by side; magenta where the shape is
// cut out) and the backgrounds of the pages and the status window.
#include <QImage>
#include <QString>
#include <vector>

namespace skingen {

struct SkinFile {
    QString name;  // file name without ".bmp"
    QImage image;
};

std::vector<SkinFile> DrawAllSkins();

}  // namespace skingen
