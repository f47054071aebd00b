#include "area/area_rules.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace area {

AreaBoxes ClampChangedBox(AreaBoxes b, Box changed, int sw, int sh) {
    switch (changed) {
        case Box::Left:
            if (b.left + b.width > sw || b.left < 0) b.left = sw - b.width;
            break;
        case Box::Top:
            if (b.top < 0 || b.top + b.height > sh) b.top = sh - b.height;
            break;
        case Box::Width:
            if (b.width > sw - b.left || b.width < 0) b.width = sw - b.left;
            break;
        case Box::Height:
            if (b.height > sh - b.top || b.height < 0) b.height = sh - b.top;
            break;
    }
    return b;
}

AreaBoxes PickedRectToBoxes(platform::Rect r, int sw, int sh) {
    r.right = std::min(r.right, sw);
    r.bottom = std::min(r.bottom, sh);
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    if (r.right < 0 || r.bottom < 0) r = platform::Rect{0, 0, sw, sh};
    return AreaBoxes{r.left, r.top, r.Width(), r.Height()};
}

platform::Rect DragRectangle(platform::Point press, platform::Point pointer,
                             platform::Point release) {
    platform::Rect r;
    if (release.x < press.x) {
        r.left = release.x;
        r.right = press.x;
    } else {
        r.left = press.x;
        r.right = pointer.x;
    }
    if (release.y < press.y) {
        r.top = release.y;
        r.bottom = press.y;
    } else {
        r.top = press.y;
        r.bottom = pointer.y;
    }
    return r;
}

bool HelpBoxAtBottomRight(bool bottomRight, int x, int y, int sw, int sh) {
    if (x <= kHelpBoxWidth || y <= kHelpBoxHeight) bottomRight = true;
    if (sw - x <= kHelpBoxWidth || sh - y <= kHelpBoxHeight) bottomRight = false;
    return bottomRight;
}

std::optional<int> ParseBoxInteger(const std::string& text) {
    std::size_t i = 0, n = text.size();
    auto blank = [&](std::size_t k) { return std::isspace(static_cast<unsigned char>(text[k])); };
    while (i < n && blank(i)) ++i;
    std::size_t start = i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = i;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i == digits) return std::nullopt;
    std::size_t end = i;
    while (i < n && blank(i)) ++i;
    if (i != n) return std::nullopt;
    errno = 0;
    const std::string number = text.substr(start, end - start);
    long long value = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT_MIN || value > INT_MAX) return std::nullopt;
    return static_cast<int>(value);
}

std::string FormatPointerLine(const std::string& format, int x, int y) {
    std::string out = format;
    std::size_t from = 0;
    for (int value : {x, y}) {
        std::size_t at = out.find("%d", from);
        if (at == std::string::npos) break;
        const std::string number = std::to_string(value);
        out.replace(at, 2, number);
        from = at + number.size();
    }
    return out;
}

}  // namespace area
