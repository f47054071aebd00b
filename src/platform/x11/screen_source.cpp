#include "platform/x11/screen_source.h"

#include "platform/x11/x_errors.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <algorithm>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#include <bit>
#include <cerrno>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

namespace platform {

namespace {

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

#if defined(__x86_64__) || defined(__i386__)
const bool kHaveSsse3 = __builtin_cpu_supports("ssse3");

// Packs 32-bit pixels (B, G, R, X) to 24 bits, 4 at a time; returns the pixels done.
__attribute__((target("ssse3"))) int PackRowSsse3(const std::uint8_t* in, std::uint8_t* out,
                                                  int width) {
    const __m128i order = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int x = 0;
    // Each store writes 16 bytes of which 12 count; the next store overwrites the rest.
    for (; x + 8 <= width; x += 4, in += 16, out += 12) {
        __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(pixels, order));
    }
    return x;
}
#else
const bool kHaveSsse3 = false;
int PackRowSsse3(const std::uint8_t*, std::uint8_t*, int) { return 0; }
#endif

class X11ScreenSource final : public ScreenSource {
public:
    explicit X11ScreenSource(Display* display) : display_(display) {
        int screen = DefaultScreen(display_);
        root_ = RootWindow(display_, screen);
        screenWidth_ = DisplayWidth(display_, screen);
        screenHeight_ = DisplayHeight(display_, screen);
        Visual* visual = DefaultVisual(display_, screen);
        depth_ = DefaultDepth(display_, screen);
        visual_ = visual;
    }

    ~X11ScreenSource() override {
        ReleaseShm();
        XCloseDisplay(display_);
    }

    // Sets up MIT-SHM; on failure returns why.
    std::string TryShm() {
        int major = 0, minor = 0;
        Bool pixmaps = False;
        if (!XShmQueryVersion(display_, &major, &minor, &pixmaps))
            return "MIT-SHM extension not available";
        useShm_ = true;
        if (!EnsureShm(1, 1)) return reason_;
        return {};
    }

    bool Grab(int left, int top, int width, int height, std::uint8_t* rows,
              int stride) override {
        if (width <= 0 || height <= 0) return false;
        if (GrabOnce(left, top, width, height, rows, stride)) return true;
        // The screen may have changed size since it was last read: read it and try once more.
        if (!ReadScreenSize()) return false;
        return GrabOnce(left, top, width, height, rows, stride);
    }

    Point PointerPosition() override {
        Window rootReturn, child;
        int rootX = 0, rootY = 0, winX = 0, winY = 0;
        unsigned int mask = 0;
        if (!XQueryPointer(display_, root_, &rootReturn, &child, &rootX, &rootY, &winX, &winY,
                           &mask))
            return {};
        return {rootX, rootY};
    }

private:
    // The area's pixels on the screen as last read; black elsewhere. False when the server
    // refused the copy (the rows are then black).
    bool GrabOnce(int left, int top, int width, int height, std::uint8_t* rows, int stride) {
        int x0 = std::max(left, 0), y0 = std::max(top, 0);
        int x1 = std::min(left + width, screenWidth_), y1 = std::min(top + height, screenHeight_);
        bool inside = x0 == left && y0 == top && x1 == left + width && y1 == top + height;
        if (!inside) {
            std::memset(rows, 0, static_cast<std::size_t>(stride) * height);
        } else if (stride > width * 3) {
            for (int y = 0; y < height; ++y)
                std::memset(rows + static_cast<std::size_t>(y) * stride + width * 3, 0,
                            stride - width * 3);
        }
        if (x1 <= x0 || y1 <= y0) return true;
        int w = x1 - x0, h = y1 - y0;

        XImage* image = nullptr;
        bool fromShm = false;
        {
            XErrorTrap trap(display_);
            if (useShm_ && EnsureShm(w, h) &&
                XShmGetImage(display_, root_, shmImage_, x0, y0, AllPlanes) && trap.Count() == 0) {
                image = shmImage_;
                fromShm = true;
            }
            if (!image) image = XGetImage(display_, root_, x0, y0, w, h, AllPlanes, ZPixmap);
            if (image && trap.Count() != 0) {
                if (!fromShm) XDestroyImage(image);
                image = nullptr;
            }
            if (trap.Count() != 0 && !grabErrorLogged_) {
                char text[160] = {};
                XGetErrorText(display_, trap.LastCode(), text, sizeof text);
                LogXLine(XErrorLine("the screen copy connection", text, trap.LastCode(), 0, 0));
                grabErrorLogged_ = true;
            }
        }
        if (!image) {
            std::memset(rows, 0, static_cast<std::size_t>(stride) * height);
            return false;
        }
        Convert(image, w, h, x0 - left, y0 - top, height, rows, stride);
        if (!fromShm) XDestroyImage(image);
        return true;
    }

    // Reads the root window's size again; true when it changed (and says so in the log).
    bool ReadScreenSize() {
        Window root = 0;
        int x = 0, y = 0;
        unsigned int w = 0, h = 0, border = 0, depth = 0;
        XErrorTrap trap(display_);
        if (!XGetGeometry(display_, root_, &root, &x, &y, &w, &h, &border, &depth)) return false;
        if (static_cast<int>(w) == screenWidth_ && static_cast<int>(h) == screenHeight_) return false;
        LogXLine("Screen copy: the screen is now " + std::to_string(w) + "x" + std::to_string(h) +
                 " (was " + std::to_string(screenWidth_) + "x" + std::to_string(screenHeight_) +
                 "); the recording keeps its frame size, parts off the screen are black");
        screenWidth_ = static_cast<int>(w);
        screenHeight_ = static_cast<int>(h);
        return true;
    }

    bool EnsureShm(int w, int h) {
        if (shmImage_ && shmWidth_ == w && shmHeight_ == h) return true;
        ReleaseShm();
        shmImage_ = XShmCreateImage(display_, visual_, depth_, ZPixmap, nullptr, &shmInfo_, w, h);
        if (!shmImage_) return DisableShm("XShmCreateImage failed");
        shmInfo_.shmid = shmget(IPC_PRIVATE,
                                static_cast<std::size_t>(shmImage_->bytes_per_line) * h,
                                IPC_CREAT | 0600);
        if (shmInfo_.shmid < 0) return DisableShm(std::string("shmget failed: ") + std::strerror(errno));
        shmInfo_.shmaddr = static_cast<char*>(shmat(shmInfo_.shmid, nullptr, 0));
        if (shmInfo_.shmaddr == reinterpret_cast<char*>(-1)) {
            shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
            shmInfo_.shmaddr = nullptr;
            return DisableShm(std::string("shmat failed: ") + std::strerror(errno));
        }
        shmImage_->data = shmInfo_.shmaddr;
        shmInfo_.readOnly = False;
        bool attached;
        {
            XSync(display_, False);
            XErrorTrap trap(display_);
            attached = XShmAttach(display_, &shmInfo_);
            XSync(display_, False);
            attached = attached && trap.Count() == 0;
        }
        // Marked for removal now; the segment lives until both sides detach.
        shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
        if (!attached) {
            shmdt(shmInfo_.shmaddr);
            shmInfo_.shmaddr = nullptr;
            return DisableShm("the X server cannot attach the shared memory (remote display?)");
        }
        shmAttached_ = true;
        shmWidth_ = w;
        shmHeight_ = h;
        return true;
    }

    bool DisableShm(std::string why) {
        reason_ = std::move(why);
        ReleaseShm();
        useShm_ = false;
        return false;
    }

    void ReleaseShm() {
        if (shmAttached_) {
            XShmDetach(display_, &shmInfo_);
            XSync(display_, False);
            shmAttached_ = false;
        }
        if (shmInfo_.shmaddr) {
            shmdt(shmInfo_.shmaddr);
            shmInfo_.shmaddr = nullptr;
        }
        if (shmImage_) {
            shmImage_->data = nullptr;
            XDestroyImage(shmImage_);
            shmImage_ = nullptr;
        }
        shmWidth_ = shmHeight_ = 0;
    }

    // Copies the image (w × h) to column dx, row dy of a bottom-up 24-bit bitmap `height` rows high.
    void Convert(XImage* image, int w, int h, int dx, int dy, int height, std::uint8_t* rows,
                 int stride) {
        bool fast = std::endian::native == std::endian::little &&
                    image->bits_per_pixel == 32 && image->byte_order == LSBFirst &&
                    image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
                    image->blue_mask == 0xFF;
        int rs = ShiftOf(image->red_mask), gs = ShiftOf(image->green_mask),
            bs = ShiftOf(image->blue_mask);
        unsigned long rm = image->red_mask >> rs, gm = image->green_mask >> gs,
                      bm = image->blue_mask >> bs;
        for (int y = 0; y < h; ++y) {
            std::uint8_t* out = rows + static_cast<std::size_t>(height - 1 - (y + dy)) * stride +
                                static_cast<std::size_t>(dx) * 3;
            if (fast) {
                const std::uint8_t* in =
                    reinterpret_cast<const std::uint8_t*>(image->data) +
                    static_cast<std::size_t>(y) * image->bytes_per_line;
                int x = 0;
                if (kHaveSsse3) {
                    x = PackRowSsse3(in, out, w);
                    in += x * 4;
                    out += x * 3;
                }
                // Four 32-bit pixels (B, G, R, X) packed into three words of B, G, R.
                for (; x + 4 <= w; x += 4, in += 16, out += 12) {
                    std::uint32_t p[4];
                    std::memcpy(p, in, 16);
                    std::uint32_t words[3] = {(p[0] & 0xFFFFFF) | p[1] << 24,
                                              (p[1] >> 8 & 0xFFFF) | p[2] << 16,
                                              (p[2] >> 16 & 0xFF) | p[3] << 8};
                    std::memcpy(out, words, 12);
                }
                for (; x < w; ++x, in += 4, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            } else {
                for (int x = 0; x < w; ++x) {
                    unsigned long p = XGetPixel(image, x, y);
                    out[0] = static_cast<std::uint8_t>(((p >> bs) & bm) * 255 / (bm ? bm : 1));
                    out[1] = static_cast<std::uint8_t>(((p >> gs) & gm) * 255 / (gm ? gm : 1));
                    out[2] = static_cast<std::uint8_t>(((p >> rs) & rm) * 255 / (rm ? rm : 1));
                    out += 3;
                }
            }
        }
    }

    Display* display_;
    Window root_ = 0;
    Visual* visual_ = nullptr;
    int depth_ = 24;
    int screenWidth_ = 0, screenHeight_ = 0;
    bool useShm_ = false;
    std::string reason_;
    XShmSegmentInfo shmInfo_{};
    XImage* shmImage_ = nullptr;
    bool shmAttached_ = false;
    int shmWidth_ = 0, shmHeight_ = 0;
    bool grabErrorLogged_ = false;  // one line per source is enough
};

}  // namespace

std::unique_ptr<ScreenSource> OpenScreenSource(std::string* note, bool allowShm) {
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        if (note) *note = "Screen copy: no X display";
        return nullptr;
    }
    auto source = std::make_unique<X11ScreenSource>(display);
    std::string why = allowShm ? source->TryShm() : "MIT-SHM not wanted";
    if (note)
        *note = why.empty() ? "Screen copy uses MIT-SHM"
                            : "Screen copy uses XGetImage: " + why;
    return source;
}

}  // namespace platform
