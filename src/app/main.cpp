#include "app/log_lines.h"
#include "app/rivive_zuzuve_app.h"
#include "companions/diary/diary.h"
#include "platform/x11/x_errors.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(app::kAppName);
    QApplication::setQuitOnLastWindowClosed(false);
    // After the toolkit's own connection is open: an X error is logged, never fatal.
    platform::InstallXErrorHandler(WriteLogLine);
    app::CRiviveZuzuveApp theApp;
    theApp.InitInstance();
    return 0;
}
