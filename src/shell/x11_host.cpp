#include "shell/x11_host.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kelvarin {
namespace {

// Xlib's error handler is one per process, and so is the host.
unsigned long hostWindow = 0;
bool hostGone = false;
int shmOpcode = -1;
bool shmFailed = false;

// X errors are never printed: a host can vanish between any two requests.
int NoteError(Display*, XErrorEvent* error) {
  if ((error->error_code == BadWindow || error->error_code == BadDrawable) &&
      error->resourceid == hostWindow) {
    hostGone = true;
  }
  if (error->request_code == shmOpcode) {
    shmFailed = true;
  }
  return 0;
}

[[noreturn]] int ConnectionLost(Display*) {
  std::fputs("kelvarin: lost the connection to the X display\n", stderr);
  std::_Exit(1);
}

std::string Hex(unsigned long id) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", id);
  return text;
}

// The bits per pixel of the server's images of a depth; 0 if none.
int BitsPerPixel(Display* display, int depth) {
  int count = 0;
  XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
  int bits = 0;
  for (int i = 0; i < count; ++i) {
    if (formats[i].depth == depth) {
      bits = formats[i].bits_per_pixel;
    }
  }
  if (formats != nullptr) {
    XFree(formats);
  }
  return bits;
}

// The picture's pixels are 32-bit words 0xffRRGGBB: what a 24- or 32-bit
// true-colour visual takes as it is.
bool TakesPicturePixels(Display* display, const XWindowAttributes& a) {
  const Visual* v = a.visual;
  return v->c_class == TrueColor && (a.depth == 24 || a.depth == 32) && v->red_mask == 0xff0000 &&
         v->green_mask == 0xff00 && v->blue_mask == 0xff && BitsPerPixel(display, a.depth) == 32;
}

}  // namespace

std::optional<unsigned long> ParseWindowId(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint32_t id = 0;
  const char* end = text.data() + text.size();
  // from_chars takes no sign and no spaces for an unsigned value.
  const auto [stop, error] = std::from_chars(text.data(), end, id, base);
  if (text.empty() || error != std::errc() || stop != end) {
    return std::nullopt;
  }
  return id;
}

std::unique_ptr<X11Host> X11Host::Open(std::optional<unsigned long> id, std::string& error) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || name[0] == '\0') {
    error = "kelvarin: no X display (DISPLAY is not set); this mode draws into an X window";
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    error = std::string("kelvarin: cannot open the X display ") + name;
    return nullptr;
  }
  XSetErrorHandler(NoteError);
  XSetIOErrorHandler(ConnectionLost);
  std::unique_ptr<X11Host> host(new X11Host(display, id ? *id : DefaultRootWindow(display)));
  if (!host->Adopt(error)) {
    return nullptr;
  }
  return host;
}

X11Host::X11Host(Display* display, unsigned long window) : display_(display), window_(window) {
  hostWindow = window;
  hostGone = false;
}

// The image the server reads the pixels from, in memory both can see: the
// picture's changed part is copied there and the server copies it from
// there, instead of both pushing it through the socket.
struct X11Host::Shared {
  XShmSegmentInfo segment{};
  XImage* image = nullptr;
  bool busy = false;          // the server may still be reading the image
  unsigned long lastPut = 0;  // the request number of the last put

  ~Shared() {
    if (image != nullptr) {
      image->data = nullptr;
      XDestroyImage(image);
    }
    if (segment.shmaddr != nullptr) {
      shmdt(segment.shmaddr);
    }
  }
};

X11Host::~X11Host() {
  if (shared_) {
    XShmDetach(display_, &shared_->segment);
    XSync(display_, False);
    shared_.reset();
  }
  if (gc_ != nullptr) {
    XFreeGC(display_, gc_);
  }
  XCloseDisplay(display_);
  hostWindow = 0;
}

int X11Host::connection() const { return ConnectionNumber(display_); }

bool X11Host::Adopt(std::string& error) {
  // Watch first, then look: a host destroyed after the look is reported by an
  // event, one destroyed before it by the look itself.
  XSelectInput(display_, window_, StructureNotifyMask | ExposureMask);
  XWindowAttributes a{};
  if (XGetWindowAttributes(display_, window_, &a) == 0 || hostGone) {
    error = "kelvarin: no window " + Hex(window_) + " on the X display";
    return false;
  }
  if (a.c_class == InputOnly) {
    error = "kelvarin: window " + Hex(window_) + " is input-only and cannot be drawn into";
    return false;
  }
  if (!TakesPicturePixels(display_, a)) {
    error = "kelvarin: window " + Hex(window_) + " has a " + std::to_string(a.depth) +
            "-bit visual; only 24- and 32-bit true-colour windows can be drawn into";
    return false;
  }
  visual_ = a.visual;
  depth_ = a.depth;
  width_ = a.width;
  height_ = a.height;
  XGCValues values{};
  values.graphics_exposures = False;
  gc_ = XCreateGC(display_, window_, GCGraphicsExposures, &values);
  int event = 0;
  int unused = 0;
  if (XShmQueryExtension(display_) &&
      XQueryExtension(display_, "MIT-SHM", &shmOpcode, &event, &unused)) {
    shmCompletion_ = XShmGetEventBase(display_) + ShmCompletion;
    ShareImage();
  }
  return true;
}

// A shared image of the host's size; none (so the pixels go through the
// socket) when the server cannot attach it, as over a network.
void X11Host::ShareImage() {
  if (shared_) {
    XShmDetach(display_, &shared_->segment);
    XSync(display_, False);
    shared_.reset();
  }
  if (shmCompletion_ < 0) {
    return;
  }
  auto shared = std::make_unique<Shared>();
  shared->image = XShmCreateImage(display_, static_cast<Visual*>(visual_), depth_, ZPixmap, nullptr,
                                  &shared->segment, width_, height_);
  if (shared->image == nullptr || shared->image->bits_per_pixel != 32) {
    return;
  }
  const auto bytes = static_cast<std::size_t>(shared->image->bytes_per_line) * height_;
  shared->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (shared->segment.shmid < 0) {
    return;
  }
  void* address = shmat(shared->segment.shmid, nullptr, 0);
  // Marked for removal at once: it goes when both sides have let go of it.
  shmctl(shared->segment.shmid, IPC_RMID, nullptr);
  if (address == reinterpret_cast<void*>(-1)) {
    return;
  }
  shared->segment.shmaddr = shared->image->data = static_cast<char*>(address);
  shared->segment.readOnly = True;
  shmFailed = false;
  XShmAttach(display_, &shared->segment);
  XSync(display_, False);
  if (!shmFailed) {
    shared_ = std::move(shared);
  }
}

void X11Host::Push(const QImage& picture, const QRect& rect) {
  const QRect area = rect & picture.rect() & QRect(0, 0, width_, height_);
  if (area.isEmpty() || picture.depth() != 32) {
    return;
  }
  if (shared_) {
    PushShared(picture, area);
    return;
  }
  // The image only borrows the picture's pixels, which Xlib reads and never
  // writes.
  char* pixels = const_cast<char*>(reinterpret_cast<const char*>(picture.constBits()));
  XImage* image =
      XCreateImage(display_, static_cast<Visual*>(visual_), depth_, ZPixmap, 0, pixels,
                   picture.width(), picture.height(), 32, static_cast<int>(picture.bytesPerLine()));
  if (image == nullptr) {
    return;
  }
  // The words are in this machine's order; Xlib swaps them for a server
  // that wants the other.
  image->byte_order = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? LSBFirst : MSBFirst;
  XPutImage(display_, window_, gc_, image, area.x(), area.y(), area.x(), area.y(), area.width(),
            area.height());
  image->data = nullptr;
  XDestroyImage(image);
  XFlush(display_);
}

void X11Host::PushShared(const QImage& picture, const QRect& area) {
  if (shared_->busy) {
    // Still reading the last one (or it failed, and no word will come).
    XSync(display_, False);
    shared_->busy = false;
  }
  XImage* image = shared_->image;
  const auto rowBytes = static_cast<std::size_t>(area.width()) * 4;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    std::memcpy(image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line + area.x() * 4,
                picture.constScanLine(y) + area.x() * 4, rowBytes);
  }
  shared_->lastPut = NextRequest(display_);
  XShmPutImage(display_, window_, gc_, image, area.x(), area.y(), area.x(), area.y(), area.width(),
               area.height(), True);
  shared_->busy = true;
  XFlush(display_);
}

X11Host::News X11Host::Read() {
  News news;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == shmCompletion_) {
      // Only the last put's word frees the image: an earlier one may still
      // be queued after a wait for the server.
      const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
      if (shared_ && done.shmseg == shared_->segment.shmseg && done.serial >= shared_->lastPut) {
        shared_->busy = false;
      }
      continue;
    }
    if (event.xany.window != window_) {
      continue;
    }
    switch (event.type) {
      case ConfigureNotify:
        if (event.xconfigure.width != width_ || event.xconfigure.height != height_) {
          width_ = event.xconfigure.width;
          height_ = event.xconfigure.height;
          news.resized = true;
        }
        break;
      case Expose:
        news.exposed |=
            QRect(event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height);
        break;
      case DestroyNotify:
        hostGone = true;
        break;
      default:
        break;
    }
  }
  if (news.resized) {
    ShareImage();
  }
  news.gone = hostGone;
  return news;
}

}  // namespace kelvarin
