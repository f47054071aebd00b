#include "skin/child_page.h"

#include "platform/core/paths.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/pixels.h"
#include "resources/dialog_templates.h"
#include "skin/bitmap_utils.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

namespace skin {

namespace {
constexpr int kSplit = 1;
}

CChildPage::CChildPage(int templateId, QWidget* parent) : QWidget(parent), messages_(this) {
    if (const platform::DialogTemplate* tmpl = resources::FindDialogTemplate(templateId))
        platform::BuildDialog(*tmpl, this);
    setAttribute(Qt::WA_StyledBackground, false);
}

QWidget* CChildPage::Control(int id) const { return platform::GetDlgItem(this, id); }

void CChildPage::LoadBackground() {
    background_.DeleteObject();
    background_.Attach(LoadImageFile(platform::GetProgramFolder() + "skins/childpage.bmp"));
    update();
}

void CChildPage::ClearStaticBackgrounds() {
    const QColor page(platform::ColorRefToRgb(kPageColor));
    for (QWidget* w : findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(w) && !qobject_cast<QGroupBox*>(w)) continue;
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, page);
        w->setPalette(palette);
        w->setAutoFillBackground(false);
    }
}

void CChildPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!background_.IsLoaded()) return;
    DrawSkinBitmap(background_.Image(), painter, kSplit, kSplit, platform::Rect{0, 0, width(), height()});
}

void CChildPage::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace skin
