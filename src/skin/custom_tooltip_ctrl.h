#pragma once
// CCustomToolTipCtrl: the tool tips of a window's controls. Each tool carries only a label; when
// a tip is about to show, the control id of its tool is kept.
// Thread contract: user-interface thread only.
#include <QHash>
#include <QObject>
#include <QSize>
#include <QString>

class QWidget;

namespace skin {

class CCustomToolTipCtrl : public QObject {
    Q_OBJECT
public:
    explicit CCustomToolTipCtrl(QObject* parent = nullptr);

    void AddTool(QWidget* tool, const QString& label);
    void UpdateTipText(QWidget* tool, const QString& label);
    // The control id of the tool whose tip showed last; 0 before any.
    int CurrentToolId() const { return currentId_; }
    QString Description() const { return description_; }
    static QSize IconSize() { return QSize(32, 32); }

    // The tip of `tool` is about to show: keeps its id and clears the description.
    void OnShow(QWidget* tool);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QWidget*, QString> tools_;
    int currentId_ = 0;
    QString description_;
};

}  // namespace skin
