#pragma once
// Values a recording cannot work with, brought into range at Start: the frame rate and an area
// reaching beyond the screen.
// Thread contract: plain functions.
namespace recording {

constexpr int kMinFrameRate = 1;
constexpr int kMaxFrameRate = 100;
// The smallest side of a region the recorder accepts.
constexpr int kMinimumSide = 15;

int ClampFrameRate(int rate);

struct Area {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Area&) const = default;
};

// The part of `area` (sides of at least kMinimumSide) that lies on a screen of the given size.
// When less than kMinimumSide would be left in a direction, the area keeps its size in that
// direction, as far as the screen allows, and is moved onto the screen instead. A screen of
// unknown size (0) leaves the area as it is.
Area ClampAreaToScreen(const Area& area, int screenWidth, int screenHeight);

}  // namespace recording
