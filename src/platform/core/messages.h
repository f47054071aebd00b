#pragma once
// Window messages: each window owns a MessageWindow with its dispatch table of (message, handler).
// Thread contract: a MessageWindow is created, given handlers and destroyed on the thread it
// serves (normally the user-interface thread); PostMessage and SendMessage may be called from any
// thread. PostMessage queues the message to that thread; SendMessage runs the handler there and
// returns its result (directly when called on that thread, blocking otherwise). Both are safe
// against a window that is being destroyed: the message is then dropped and SendMessage gives 0.
#include "platform/core/types.h"

#include <functional>
#include <memory>
#include <unordered_map>

class QObject;
class QWidget;

namespace platform {

using MessageHandler = std::function<LRESULT(WPARAM, LPARAM)>;

class MessageWindow {
public:
    // `widget` (may be null) owns message boxes whose owner is this window.
    explicit MessageWindow(QWidget* widget = nullptr);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    WindowHandle Handle() const { return handle_; }
    QWidget* Widget() const { return widget_; }

    void On(std::uint32_t message, MessageHandler handler);
    // Runs the handler for `message` on the calling thread; 0 when there is none.
    LRESULT Dispatch(std::uint32_t message, WPARAM wParam, LPARAM lParam);

private:
    friend bool PostMessage(WindowHandle, std::uint32_t, WPARAM, LPARAM);
    friend LRESULT SendMessage(WindowHandle, std::uint32_t, WPARAM, LPARAM);
    class Receiver;
    WindowHandle handle_;
    QWidget* widget_;
    std::unique_ptr<Receiver> receiver_;
    std::unordered_map<std::uint32_t, MessageHandler> handlers_;
};

// False when the window does not exist.
bool PostMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam);

// The widget of a live window, or null. Only for use on the user-interface thread.
QWidget* WidgetOf(WindowHandle window);

}  // namespace platform
