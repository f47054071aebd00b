#include "platform/x11/hot_keys.h"

#include "platform/core/messages.h"
#include "platform/x11/x_errors.h"

#include <X11/keysym.h>
#include <xcb/xcb.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace platform {

std::uint32_t VirtualKeyToKeysym(int vkCode) {
    if (vkCode >= '0' && vkCode <= '9') return XK_0 + static_cast<std::uint32_t>(vkCode - '0');
    if (vkCode >= 'A' && vkCode <= 'Z') return XK_a + static_cast<std::uint32_t>(vkCode - 'A');
    if (vkCode >= 112 && vkCode <= 123) return XK_F1 + static_cast<std::uint32_t>(vkCode - 112);
    if (vkCode == 44) return XK_Print;
    return 0;
}

namespace {

// The X modifier bits of a mask.
std::uint16_t XModifiers(unsigned mask) {
    std::uint16_t mods = 0;
    if (mask & MOD_ALT) mods |= XCB_MOD_MASK_1;
    if (mask & MOD_CONTROL) mods |= XCB_MOD_MASK_CONTROL;
    if (mask & MOD_SHIFT) mods |= XCB_MOD_MASK_SHIFT;
    if (mask & MOD_WIN) mods |= XCB_MOD_MASK_4;
    return mods;
}

constexpr std::uint16_t kMeaningfulMods =
    XCB_MOD_MASK_1 | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_4;

class X11HotKeys final : public HotKeys {
public:
    X11HotKeys() {
        int screenNumber = 0;
        connection_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection_)) return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection_));
        for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
        if (!it.rem) return;
        root_ = it.data->root;
        wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake_ < 0) return;
        ok_ = true;
        reader_ = std::thread([this] { ReadPresses(); });
    }

    ~X11HotKeys() override {
        if (reader_.joinable()) {
            stopping_ = 1;
            Wake();
            reader_.join();
        }
        if (wake_ >= 0) close(wake_);
        xcb_disconnect(connection_);  // releases every grab
    }

    bool Register(WindowHandle window, int id, unsigned mask, int vkCode) override {
        std::lock_guard lock(mutex_);
        if (!ok_) return false;
        const std::uint32_t keysym = VirtualKeyToKeysym(vkCode);
        const xcb_keycode_t keycode = keysym ? KeycodeOf(keysym) : 0;
        if (keycode == 0) return false;
        const std::uint16_t mods = XModifiers(mask);
        for (const Entry& e : entries_)
            if (e.keycode == keycode && e.mods == mods) return false;  // taken here already

        const std::vector<std::uint16_t> variants = LockVariants(mods);
        std::vector<xcb_void_cookie_t> cookies;
        for (std::uint16_t v : variants)
            cookies.push_back(xcb_grab_key_checked(connection_, 1, root_, v, keycode,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        bool taken = false;
        for (xcb_void_cookie_t cookie : cookies) {
            // BadAccess: another client holds it; any other error leaves it unusable as well.
            if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
                taken = true;
                std::free(error);
            }
        }
        if (taken) {
            // Another client holds at least one variant: give back the ones we got. A variant
            // the other client holds is not ours to release, but ungrabbing a key we do not hold
            // is harmless to it.
            for (std::uint16_t v : variants) xcb_ungrab_key(connection_, keycode, root_, v);
            xcb_flush(connection_);
            Wake();
            return false;
        }
        entries_.push_back(Entry{window, id, keycode, mods, vkCode, mask, variants});
        Wake();  // the checks may have queued events the reader has not seen
        return true;
    }

    bool Unregister(WindowHandle window, int id) override {
        std::lock_guard lock(mutex_);
        bool found = false;
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->window == window && it->id == id) {
                for (std::uint16_t v : it->variants)
                    xcb_ungrab_key(connection_, it->keycode, root_, v);
                it = entries_.erase(it);
                found = true;
            } else {
                ++it;
            }
        }
        if (found) xcb_flush(connection_);
        return found;
    }

private:
    struct Entry {
        WindowHandle window;
        int id;
        xcb_keycode_t keycode;
        std::uint16_t mods;
        int vkCode;
        unsigned mask;
        std::vector<std::uint16_t> variants;
    };

    // The first keycode whose mapping produces `keysym`; 0 when none does.
    xcb_keycode_t KeycodeOf(std::uint32_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const int first = setup->min_keycode;
        const int count = setup->max_keycode - setup->min_keycode + 1;
        xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
            connection_,
            xcb_get_keyboard_mapping(connection_, setup->min_keycode,
                                     static_cast<std::uint8_t>(count)),
            nullptr);
        if (!reply) return 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        const int per = reply->keysyms_per_keycode;
        xcb_keycode_t found = 0;
        for (int k = 0; k < count && !found; ++k)
            for (int c = 0; c < per; ++c)
                if (syms[k * per + c] == keysym) {
                    found = static_cast<xcb_keycode_t>(first + k);
                    break;
                }
        std::free(reply);
        return found;
    }

    // The modifier bit carrying `lockKeysym`; 0 when no modifier does.
    std::uint16_t ModifierBitOf(std::uint32_t lockKeysym) {
        const xcb_keycode_t lock = KeycodeOf(lockKeysym);
        if (!lock) return 0;
        xcb_get_modifier_mapping_reply_t* reply = xcb_get_modifier_mapping_reply(
            connection_, xcb_get_modifier_mapping(connection_), nullptr);
        if (!reply) return 0;
        const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(reply);
        const int per = reply->keycodes_per_modifier;
        std::uint16_t bit = 0;
        for (int m = 0; m < 8 && !bit; ++m)
            for (int i = 0; i < per; ++i)
                if (codes[m * per + i] == lock) {
                    bit = static_cast<std::uint16_t>(1u << m);
                    break;
                }
        std::free(reply);
        return bit;
    }

    // The key with every combination of CapsLock, NumLock and ScrollLock: a press counts
    // whatever the lock keys are set to. A lock without a modifier bit of its own adds no
    // variant (it never shows in a press), nor does one sharing a bit with ALT, CTRL, SHIFT or
    // the logo key.
    std::vector<std::uint16_t> LockVariants(std::uint16_t mods) {
        std::vector<std::uint16_t> locks;
        std::uint16_t seen = 0;
        for (std::uint16_t bit : {static_cast<std::uint16_t>(XCB_MOD_MASK_LOCK),
                                  ModifierBitOf(XK_Num_Lock), ModifierBitOf(XK_Scroll_Lock)}) {
            if (!bit || (bit & kMeaningfulMods) || (bit & seen)) continue;
            locks.push_back(bit);
            seen = static_cast<std::uint16_t>(seen | bit);
        }
        std::vector<std::uint16_t> variants;
        for (unsigned combo = 0; combo < (1u << locks.size()); ++combo) {
            std::uint16_t v = mods;
            for (std::size_t i = 0; i < locks.size(); ++i)
                if (combo & (1u << i)) v = static_cast<std::uint16_t>(v | locks[i]);
            variants.push_back(v);
        }
        return variants;
    }

    void Wake() {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof one);
    }

    void ReadPresses() {
        pollfd fds[2] = {{xcb_get_file_descriptor(connection_), POLLIN, 0}, {wake_, POLLIN, 0}};
        while (!stopping_) {
            if (poll(fds, 2, -1) < 0 && errno != EINTR) return;
            if (fds[1].revents & POLLIN) {
                std::uint64_t count;
                [[maybe_unused]] ssize_t n = read(wake_, &count, sizeof count);
            }
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                if ((event->response_type & 0x7F) == XCB_KEY_PRESS)
                    OnPress(*reinterpret_cast<xcb_key_press_event_t*>(event));
                else if (event->response_type == 0)  // an error of a request not checked
                    LogError(*reinterpret_cast<xcb_generic_error_t*>(event));
                std::free(event);
            }
            if (xcb_connection_has_error(connection_)) return;  // the display went away
        }
    }

    static void LogError(const xcb_generic_error_t& error) {
        LogXLine(XErrorLine("the hot-key connection", nullptr, error.error_code, error.major_code,
                            error.minor_code));
    }

    void OnPress(const xcb_key_press_event_t& press) {
        WindowHandle window = 0;
        int id = 0;
        LPARAM lParam = 0;
        {
            std::lock_guard lock(mutex_);
            const std::uint16_t mods = press.state & kMeaningfulMods;  // lock bits never count
            for (const Entry& e : entries_) {
                if (e.keycode == press.detail && e.mods == mods) {
                    window = e.window;
                    id = e.id;
                    lParam = static_cast<LPARAM>((static_cast<unsigned>(e.vkCode) << 16) | e.mask);
                    break;
                }
            }
        }
        if (window) PostMessage(window, WM_HOTKEY, static_cast<WPARAM>(id), lParam);
    }

    std::mutex mutex_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    int wake_ = -1;
    bool ok_ = false;
    std::atomic<std::int32_t> stopping_{0};
    std::vector<Entry> entries_;
    std::thread reader_;
};

}  // namespace

std::unique_ptr<HotKeys> CreateX11HotKeys() { return std::make_unique<X11HotKeys>(); }

HotKeys& SystemHotKeys() {
    static X11HotKeys keys;
    return keys;
}

}  // namespace platform
