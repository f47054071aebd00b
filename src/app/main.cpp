#include "app/log_lines.h"
#include "app/rivive_zuzuve_app.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(app::kAppName);
    QApplication::setQuitOnLastWindowClosed(false);
    app::CRiviveZuzuveApp theApp;
    theApp.InitInstance();
    return 0;
}
