#pragma once
// Cursor and icon resources, drawn in code.
// Thread contract: user-interface thread only (cursors and icons need the GUI application).
#include "resources/resource_ids.h"

#include <QCursor>
#include <QIcon>
#include <QImage>

namespace resources {

// kIdcHand: the hand over skinned buttons; kIdcOverlay: a small cross-hair with a picture beside
// it, hot spot (5, 12). Any other id gives the arrow.
QCursor LoadCursorResource(int id);
// IDR_MAINFRAME: the application icon; any other id gives an empty icon.
QIcon LoadIconResource(int id);
// The application icon drawn at `size` x `size` pixels (also for the desktop's icon theme).
QImage AppIconImage(int size);

}  // namespace resources
