#pragma once
// A still picture of the whole screen.
// Thread contract: user-interface thread (the picture is a QImage for its windows); the copy is
// read on a display connection of its own.
#include <QImage>

namespace platform {

// The screen's (0, 0, width, height) as an opaque 32-bit image; black where nothing could be
// read, a null image without a display.
QImage SnapshotScreen(int width, int height);

}  // namespace platform
