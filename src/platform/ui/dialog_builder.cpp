#include "platform/ui/dialog_builder.h"

#include "platform/ui/color_picker_button.h"
#include "platform/ui/up_down_ctrl.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVariant>
#include <QWidget>
#include <algorithm>

namespace platform {

namespace {

constexpr const char* kIdProperty = "rzControlId";
constexpr int kDropListRows = 14;  // dialog units of a closed drop-down list

// MulDiv(units, numerator, denominator) rounded half away from zero.
int MulDivRound(int units, int numerator, int denominator) {
    long long product = static_cast<long long>(units) * numerator;
    long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : -((-product + half) / denominator));
}

QWidget* CreateControl(const ControlTemplate& c, QWidget* parent) {
    const QString text = QString::fromUtf8(c.text ? c.text : "");
    switch (c.kind) {
        case ControlKind::Static: {
            auto* label = new QLabel(text, parent);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::GroupBox: return new QGroupBox(text, parent);
        case ControlKind::PushButton: return new QPushButton(text, parent);
        case ControlKind::DefPushButton: {
            auto* button = new QPushButton(text, parent);
            button->setDefault(true);
            return button;
        }
        case ControlKind::CheckBox: return new QCheckBox(text, parent);
        case ControlKind::RadioButton: return new QRadioButton(text, parent);
        case ControlKind::Edit:
        case ControlKind::FolderEdit: return new QLineEdit(text, parent);
        case ControlKind::ReadOnlyEdit: {
            auto* edit = new QLineEdit(text, parent);
            edit->setReadOnly(true);
            return edit;
        }
        case ControlKind::DropList: return new QComboBox(parent);
        case ControlKind::Spin: return new UpDownCtrl(parent);
        case ControlKind::Trackbar: return new QSlider(Qt::Horizontal, parent);
        case ControlKind::Progress: {
            auto* bar = new QProgressBar(parent);
            bar->setTextVisible(false);
            return bar;
        }
        case ControlKind::EtchedLine: {
            auto* line = new QFrame(parent);
            line->setFrameShape(QFrame::HLine);
            line->setFrameShadow(QFrame::Sunken);
            return line;
        }
        case ControlKind::Icon: return new QLabel(parent);
        case ControlKind::ColorPicker: return new ColorPickerButton(parent);
    }
    return new QWidget(parent);
}

}  // namespace

int DialogUnitsToPixelsX(int units) { return MulDivRound(units, 6, 4); }
int DialogUnitsToPixelsY(int units) { return MulDivRound(units, 13, 8); }

int BuildDialog(const DialogTemplate& tmpl, QWidget* dialog, const ControlFactory& make) {
    if (!dialog) return 0;
    dialog->setFixedSize(DialogUnitsToPixelsX(tmpl.width), DialogUnitsToPixelsY(tmpl.height));
    if (tmpl.caption) dialog->setWindowTitle(QString::fromUtf8(tmpl.caption));
    if (tmpl.style & kChild) dialog->setWindowFlags(Qt::Widget);
    if (tmpl.fontPoints > 0) {
        QFont font = dialog->font();
        font.setPointSize(tmpl.fontPoints);
        dialog->setFont(font);
    }
    int created = 0;
    QWidget* previous = nullptr;
    for (const ControlTemplate& c : tmpl.controls) {
        QWidget* control = make ? make(c, dialog) : nullptr;
        if (!control) control = CreateControl(c, dialog);
        // Up-down buttons step the edit box created just before them.
        if (auto* upDown = qobject_cast<UpDownCtrl*>(control))
            upDown->SetBuddy(qobject_cast<QLineEdit*>(previous));
        previous = control;
        // A drop-down list's template height includes its open list; the closed box is one row.
        const int h = c.kind == ControlKind::DropList ? std::min(c.h, kDropListRows) : c.h;
        control->setGeometry(DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y),
                             DialogUnitsToPixelsX(c.w), DialogUnitsToPixelsY(h));
        if (c.id != -1) SetControlId(control, c.id);
        if (c.style & kDisabled) control->setEnabled(false);
        if (c.style & kHidden) control->setVisible(false);
        // Group boxes frame their neighbours; keep them beneath.
        if (c.kind == ControlKind::GroupBox) control->lower();
        ++created;
    }
    return created;
}

void SetControlId(QWidget* control, int id) {
    if (control) control->setProperty(kIdProperty, id);
}

int GetControlId(const QWidget* control) {
    if (!control) return -1;
    QVariant v = control->property(kIdProperty);
    return v.isValid() ? v.toInt() : -1;
}

QWidget* GetDlgItem(const QWidget* dialog, int id) {
    if (!dialog) return nullptr;
    for (QWidget* w : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (GetControlId(w) == id) return w;
    for (QWidget* w : dialog->findChildren<QWidget*>())
        if (GetControlId(w) == id) return w;
    return nullptr;
}

void SetDlgItemText(const QWidget* dialog, int id, const char* text) {
    QWidget* w = GetDlgItem(dialog, id);
    if (!w) return;
    const QString t = QString::fromUtf8(text ? text : "");
    if (auto* label = qobject_cast<QLabel*>(w)) label->setText(t);
    else if (auto* button = qobject_cast<QAbstractButton*>(w)) button->setText(t);
    else if (auto* group = qobject_cast<QGroupBox*>(w)) group->setTitle(t);
    else if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setText(t);
    else w->setWindowTitle(t);
}

}  // namespace platform
