#pragma once
// CBitmapEx: holds one skin bitmap. Giving it a new bitmap drops the previous one first.
// Thread contract: owned and used by one thread (the window's).
#include <QImage>

namespace skin {

class CBitmapEx {
public:
    CBitmapEx() = default;
    explicit CBitmapEx(QImage image) { Attach(std::move(image)); }

    // Replaces the held bitmap; a null image leaves the object empty.
    void Attach(QImage image) {
        bitmap_ = QImage();
        bitmap_ = std::move(image);
    }
    void DeleteObject() { bitmap_ = QImage(); }
    bool IsLoaded() const { return !bitmap_.isNull(); }
    const QImage& Image() const { return bitmap_; }
    QImage& Image() { return bitmap_; }

private:
    QImage bitmap_;
};

}  // namespace skin
