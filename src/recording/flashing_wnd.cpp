#include "recording/flashing_wnd.h"

#include <QRect>
#include <QRegion>

namespace recording {

namespace {
// A band whose far edge comes before its near edge (areas under 36 pixels) is taken as empty.
QRegion Band(int l, int t, int r, int b) {
    if (r <= l || b <= t) return {};
    return QRegion(l, t, r - l, b - t);
}
}  // namespace

std::vector<platform::Rect> BracketRegion(int left, int top, int width, int height) {
    int right = left + width - 1, bottom = top + height - 1;
    int w = right - left, h = bottom - top;
    QRegion region = Band(0, 0, w + 16, h + 16);
    region -= Band(8, 8, w + 9, h + 9);
    region -= Band(0, 24, w + 16, h - 11);
    region -= Band(24, 0, w - 11, h + 16);
    region.translate(left - 8, top - 8);
    std::vector<platform::Rect> rects;
    for (const QRect& r : region)
        rects.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
    return rects;
}

CFlashingWnd::CFlashingWnd(int screenWidth, int screenHeight,
                           std::unique_ptr<platform::FrameWindowHost> host)
    : screenWidth_(screenWidth), screenHeight_(screenHeight), host_(std::move(host)) {}

std::unique_ptr<CFlashingWnd> CFlashingWnd::Create(int screenWidth, int screenHeight) {
    return std::make_unique<CFlashingWnd>(
        screenWidth, screenHeight,
        platform::CreateFrameWindowHost(screenWidth - 1, screenHeight - 1));
}

void CFlashingWnd::SetFrameArea(int left, int top, int width, int height) {
    {
        std::lock_guard lock(mutex_);
        left_ = left;
        top_ = top;
        right_ = left + width - 1;
        bottom_ = top + height - 1;
    }
    host_->SetRegion(BracketRegion(left, top, width, height));
}

void CFlashingWnd::PaintFrame(std::uint32_t colour) {
    platform::Rect fill;
    {
        std::lock_guard lock(mutex_);
        if (right_ <= left_ || bottom_ <= top_) return;
        fill = {left_ - 8, top_ - 8, right_ + 8, bottom_ + 8};
    }
    host_->Fill(fill, colour);
}

void CFlashingWnd::ShowFrame() { host_->Show(); }
void CFlashingWnd::HideFrame() { host_->Hide(); }

}  // namespace recording
