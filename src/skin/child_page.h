#pragma once
// CChildPage: what the settings pages share: built from their template as a borderless child,
// painted with the "skins/childpage.bmp" background (nine-part stretch, split point (1, 1)),
// statics drawn transparently over it, Enter and Escape swallowed.
// Thread contract: user-interface thread only.
#include "platform/core/messages.h"
#include "skin/bitmap_ex.h"

#include <QWidget>

namespace skin {

class CChildPage : public QWidget {
    Q_OBJECT
public:
    // The page's colour behind its text, 0x00BBGGRR.
    static constexpr std::uint32_t kPageColor = 0xF0F0F0;

    // Builds the template's controls; the background is loaded by LoadBackground.
    CChildPage(int templateId, QWidget* parent);

    platform::WindowHandle Handle() const { return messages_.Handle(); }
    QWidget* Control(int id) const;
    bool HasBackground() const { return background_.IsLoaded(); }

protected:
    // Loads the program folder's "skins/childpage.bmp", replacing the bitmap held before.
    void LoadBackground();
    // Statics, group boxes and buttons paint their text over the background: no fill of their own.
    void ClearStaticBackgrounds();
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    platform::MessageWindow messages_;
    CBitmapEx background_;
};

}  // namespace skin
