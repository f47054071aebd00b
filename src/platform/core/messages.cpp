#include "platform/core/messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>
#include <atomic>
#include <future>
#include <mutex>

namespace platform {

namespace {

const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A queued message. A sent message carries a promise that is always kept: with the handler's
// result, or with 0 when the event is dropped because its window went away.
class MessageEvent : public QEvent {
public:
    MessageEvent(std::uint32_t m, WPARAM w, LPARAM l,
                 std::shared_ptr<std::promise<LRESULT>> reply = nullptr)
        : QEvent(kMessageEvent), message(m), wParam(w), lParam(l), reply_(std::move(reply)) {}
    ~MessageEvent() override { Answer(0); }
    void Answer(LRESULT result) {
        if (reply_) {
            reply_->set_value(result);
            reply_.reset();
        }
    }
    std::uint32_t message;
    WPARAM wParam;
    LPARAM lParam;

private:
    std::shared_ptr<std::promise<LRESULT>> reply_;
};

std::mutex registryMutex;
std::unordered_map<WindowHandle, MessageWindow*>& Registry() {
    static std::unordered_map<WindowHandle, MessageWindow*> registry;
    return registry;
}
std::atomic<WindowHandle> nextHandle{0x1000};

}  // namespace

class MessageWindow::Receiver : public QObject {
public:
    explicit Receiver(MessageWindow* owner) : owner_(owner) {}
    bool event(QEvent* e) override {
        if (e->type() != kMessageEvent) return QObject::event(e);
        auto* m = static_cast<MessageEvent*>(e);
        m->Answer(owner_->Dispatch(m->message, m->wParam, m->lParam));
        return true;
    }

private:
    MessageWindow* owner_;
};

MessageWindow::MessageWindow(QWidget* widget)
    : handle_(nextHandle++), widget_(widget), receiver_(std::make_unique<Receiver>(this)) {
    std::lock_guard lock(registryMutex);
    Registry()[handle_] = this;
}

MessageWindow::~MessageWindow() {
    {
        std::lock_guard lock(registryMutex);
        Registry().erase(handle_);
    }
    // Deleting the receiver drops (and answers) whatever is still queued for it.
    receiver_.reset();
}

void MessageWindow::On(std::uint32_t message, MessageHandler handler) {
    handlers_[message] = std::move(handler);
}

LRESULT MessageWindow::Dispatch(std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    auto it = handlers_.find(message);
    return it == handlers_.end() ? 0 : it->second(wParam, lParam);
}

bool PostMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    std::lock_guard lock(registryMutex);
    auto it = Registry().find(window);
    if (it == Registry().end()) return false;
    QCoreApplication::postEvent(it->second->receiver_.get(),
                                new MessageEvent(message, wParam, lParam));
    return true;
}

LRESULT SendMessage(WindowHandle window, std::uint32_t message, WPARAM wParam, LPARAM lParam) {
    std::unique_lock lock(registryMutex);
    auto it = Registry().find(window);
    if (it == Registry().end()) return 0;
    MessageWindow* target = it->second;
    if (target->receiver_->thread() == QThread::currentThread()) {
        lock.unlock();
        return target->Dispatch(message, wParam, lParam);
    }
    auto reply = std::make_shared<std::promise<LRESULT>>();
    std::future<LRESULT> answer = reply->get_future();
    QCoreApplication::postEvent(target->receiver_.get(),
                                new MessageEvent(message, wParam, lParam, std::move(reply)));
    lock.unlock();
    return answer.get();
}

QWidget* WidgetOf(WindowHandle window) {
    std::lock_guard lock(registryMutex);
    auto it = Registry().find(window);
    return it == Registry().end() ? nullptr : it->second->Widget();
}

}  // namespace platform
