#pragma once
// CAboutDlg: the About box (template 100): the application icon, the product name, the version
// line and OK.
// Thread contract: user-interface thread only.
#include <QDialog>

namespace app {

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace app
