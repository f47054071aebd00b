#include "platform/x11/window_stack.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <set>

namespace platform {

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
struct ReplyFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, ReplyFree>;

// The root's child that holds `window` (the window itself when it is one); 0 when none.
xcb_window_t TopLevelOf(xcb_connection_t* c, xcb_window_t root, xcb_window_t window) {
    for (int depth = 0; window != 0 && depth < 16; ++depth) {
        Reply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree) return 0;
        if (tree->parent == root) return window;
        window = tree->parent;
    }
    return 0;
}

}  // namespace

std::vector<StackedWindow> QueryTopLevelWindows(const std::vector<std::uint64_t>& skip) {
    int screenNumber = 0;
    std::unique_ptr<xcb_connection_t, ConnectionCloser> c(xcb_connect(nullptr, &screenNumber));
    if (!c || xcb_connection_has_error(c.get())) return {};
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c.get()));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem) return {};
    const xcb_window_t root = it.data->root;

    std::set<xcb_window_t> skipped;
    for (std::uint64_t w : skip)
        if (xcb_window_t top = TopLevelOf(c.get(), root, static_cast<xcb_window_t>(w)))
            skipped.insert(top);

    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c.get(), xcb_query_tree(c.get(), root), nullptr));
    if (!tree) return {};
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());

    // Every request goes out before the first reply is awaited.
    std::vector<xcb_get_window_attributes_cookie_t> attributes(count);
    std::vector<xcb_get_geometry_cookie_t> geometry(count);
    for (int i = 0; i < count; ++i) {
        attributes[i] = xcb_get_window_attributes(c.get(), children[i]);
        geometry[i] = xcb_get_geometry(c.get(), children[i]);
    }
    std::vector<StackedWindow> windows;
    // The tree lists the children bottom-most first.
    for (int i = count - 1; i >= 0; --i) {
        Reply<xcb_get_window_attributes_reply_t> a(
            xcb_get_window_attributes_reply(c.get(), attributes[i], nullptr));
        Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(c.get(), geometry[i], nullptr));
        if (!a || !g || a->map_state != XCB_MAP_STATE_VIEWABLE ||
            a->_class != XCB_WINDOW_CLASS_INPUT_OUTPUT || skipped.count(children[i]))
            continue;
        const int border = 2 * g->border_width;
        windows.push_back({children[i], Rect{g->x, g->y, g->x + g->width + border,
                                             g->y + g->height + border}});
    }
    return windows;
}

}  // namespace platform
