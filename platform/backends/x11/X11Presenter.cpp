#include "X11Presenter.h"

#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

namespace platform {

namespace {

// Set by the error handler while the first attach is tried.
bool g_attachFailed = false;

int NoteAttachFailure(Display*, XErrorEvent*) {
    g_attachFailed = true;
    return 0;
}

bool SharingWanted(Display* display) {
    const char* off = std::getenv("VELBRIN_X11_NO_SHM");
    return (off == nullptr || *off == '\0') && XShmQueryExtension(display);
}

} // namespace

// A System V segment that the server has attached too. It is marked for
// removal at once, so that it goes away with the last process that holds it
// however the program ends.
class X11Presenter::SharedPixels final : public gdi::PixelMemory {
public:
    SharedPixels(Display* display, std::shared_ptr<bool> connected)
        : display_(display), connected_(std::move(connected)) {}
    ~SharedPixels() override {
        if (attached_ && *connected_) {
            XShmDetach(display_, &info_);
        }
        if (info_.shmaddr != nullptr) {
            shmdt(info_.shmaddr);
        }
    }
    SharedPixels(const SharedPixels&) = delete;
    SharedPixels& operator=(const SharedPixels&) = delete;

    // False when no segment could be had or the server refused it. Waits
    // for the server's answer: once for each frame buffer, not each present.
    bool Attach(std::size_t count) {
        info_.shmid = shmget(IPC_PRIVATE, count * sizeof(gdi::Pixel), IPC_CREAT | 0600);
        if (info_.shmid < 0) {
            return false;
        }
        void* address = shmat(info_.shmid, nullptr, 0);
        if (address == reinterpret_cast<void*>(-1)) {
            shmctl(info_.shmid, IPC_RMID, nullptr);
            return false;
        }
        info_.shmaddr = static_cast<char*>(address);
        // The server only reads the frame buffer.
        info_.readOnly = True;
        attached_ = XShmAttach(display_, &info_) != 0;
        if (attached_) {
            // The server attaches when it handles the request; only then
            // may the segment be marked, and only then is a refusal known.
            g_attachFailed = false;
            auto previous = XSetErrorHandler(NoteAttachFailure);
            XSync(display_, False);
            XSetErrorHandler(previous);
            attached_ = !g_attachFailed;
        }
        shmctl(info_.shmid, IPC_RMID, nullptr);
        return attached_;
    }

    gdi::Pixel* Data() override { return reinterpret_cast<gdi::Pixel*>(info_.shmaddr); }
    XShmSegmentInfo* Info() { return &info_; }
    Display* Owner() const { return display_; }

private:
    Display* display_;
    std::shared_ptr<bool> connected_;
    XShmSegmentInfo info_{};
    bool attached_ = false;
};

X11Presenter::X11Presenter(Display* display)
    : display_(display), visual_(DefaultVisual(display, DefaultScreen(display))),
      sharing_(SharingWanted(display)) {}

X11Presenter::~X11Presenter() {
    *connected_ = false;
}

gdi::PixelMemoryMaker X11Presenter::MemoryMaker() {
    return [this](std::size_t count) { return MakeShared(count); };
}

std::unique_ptr<gdi::PixelMemory> X11Presenter::MakeShared(std::size_t count) {
    if (!sharing_ || count == 0) {
        return nullptr;
    }
    auto memory = std::make_unique<SharedPixels>(display_, connected_);
    // A server elsewhere cannot reach our memory: after its first refusal
    // every frame buffer is our own.
    if (!memory->Attach(count)) {
        sharing_ = false;
        return nullptr;
    }
    return memory;
}

// An image header over the whole frame buffer: the server takes the rows it
// needs with the frame buffer's own stride.
XImage* X11Presenter::ImageOver(const gdi::Surface& pixels) {
    image_ = XImage{};
    image_.width = pixels.Width();
    image_.height = pixels.Height();
    image_.format = ZPixmap;
    image_.data = reinterpret_cast<char*>(const_cast<gdi::Pixel*>(pixels.Row(0)));
    image_.byte_order = LSBFirst;
    image_.bitmap_unit = 32;
    image_.bitmap_bit_order = LSBFirst;
    image_.bitmap_pad = 32;
    image_.depth = 24;
    image_.bytes_per_line = pixels.Width() * static_cast<int>(sizeof(gdi::Pixel));
    image_.bits_per_pixel = 32;
    image_.red_mask = visual_->red_mask;
    image_.green_mask = visual_->green_mask;
    image_.blue_mask = visual_->blue_mask;
    return XInitImage(&image_) != 0 ? &image_ : nullptr;
}

void X11Presenter::Put(::Window window, GC gc, const gdi::Surface& pixels, const RECT& area,
                       POINT to) {
    XImage* image = ImageOver(pixels);
    if (image == nullptr) {
        return;
    }
    const auto width = static_cast<unsigned>(area.right - area.left);
    const auto height = static_cast<unsigned>(area.bottom - area.top);
    auto* shared = dynamic_cast<const SharedPixels*>(&pixels.Memory());
    if (shared != nullptr && shared->Owner() == display_) {
        image->obdata = reinterpret_cast<char*>(const_cast<SharedPixels*>(shared)->Info());
        XShmPutImage(display_, window, gc, image, area.left, area.top, to.x, to.y, width, height,
                     False);
    } else {
        XPutImage(display_, window, gc, image, area.left, area.top, to.x, to.y, width, height);
    }
}

} // namespace platform
