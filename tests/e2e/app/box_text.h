#pragma once
// Reading a message box of the running recorder as a user would: its text copied with CTRL+C.
#include "support/desktop.h"
#include "support/test_support.h"

#include <QClipboard>
#include <QGuiApplication>

#include <chrono>
#include <string>

namespace e2eapp {

// The text of the message box titled by `titlePattern` that is up or comes up within a minute,
// copied until it holds `expected`; then `key` is pressed in it and the box awaited gone.
// "<no box>" when none came.
inline std::string AnswerBox(const char* titlePattern, const std::string& expected,
                             const std::string& key) {
    auto press = [](const std::string& keys) {
        testsupport::Run("xdotool", {"key", "--clearmodifiers", keys});
    };
    QGuiApplication::clipboard()->setText(QString());
    const auto box = testsupport::WaitForWindows(titlePattern, 1, 60000);
    if (box.size() != 1) return "<no box>";
    testsupport::Run("xdotool", {"windowactivate", "--sync", box[0]});
    std::string text;
    for (int attempt = 0; attempt < 5 && text.find(expected) == std::string::npos; ++attempt) {
        press("ctrl+c");
        testsupport::WaitUntil([&] {
            text = QGuiApplication::clipboard()->text().toStdString();
            return text.find(expected) != std::string::npos;
        }, std::chrono::seconds(2));
    }
    press(key);
    testsupport::WaitUntil([&] { return testsupport::FindWindows(titlePattern).empty(); },
                           std::chrono::seconds(30));
    return text;
}

}  // namespace e2eapp
