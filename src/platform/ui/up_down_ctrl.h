#pragma once
// UpDownCtrl: the pair of small arrow buttons beside an edit box that step the box's integer by
// one within a range, also from the Up and Down keys pressed in the box. The box's text is
// rewritten as a plain decimal number, so the box reports the change as typing would. The
// buttons are enabled and disabled with their box.
// Thread contract: user-interface thread only.
#include <QWidget>

class QLineEdit;
class QToolButton;

namespace platform {

class UpDownCtrl : public QWidget {
    Q_OBJECT
public:
    explicit UpDownCtrl(QWidget* parent = nullptr);

    void SetBuddy(QLineEdit* buddy);
    QLineEdit* Buddy() const { return buddy_; }
    void SetRange(int lower, int upper);
    int Lower() const { return lower_; }
    int Upper() const { return upper_; }
    // Moves the box's number by `delta` and keeps it in the range. A box without a number
    // starts from the last number stepped to.
    void Step(int delta);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLineEdit* buddy_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int lower_ = 0, upper_ = 100, position_ = 0;
};

}  // namespace platform
