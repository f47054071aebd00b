#include "app/main_skin_layout.h"

namespace app {

platform::Rect SkinButtonRect(const SkinButtonPlace& place, int w, int h) {
    const int x = place.x < 0 ? w + place.x : place.x;
    const int y = place.y < 0 ? h + place.y : place.y;
    return platform::Rect{x, y, x + place.width, y + place.height};
}

}  // namespace app
