#include "shell/x11/x11_host.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

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

// The picture and the image that tells Xlib about it. Shared, the pixels are
// a System V segment the server has attached; otherwise the program's own.
struct X11Host::Picture {
  XImage* image = nullptr;  // its data are the pixels
  XShmSegmentInfo segment{};
  std::unique_ptr<std::uint32_t[]> own;
  bool shared = false;
  bool busy = false;          // the server may still be reading the pixels
  unsigned long lastPut = 0;  // the request number of the last shared put

  raster::PixelBuffer pixels() const {
    return {reinterpret_cast<std::uint32_t*>(image->data), image->width, image->height,
            image->bytes_per_line / 4};
  }

  ~Picture() {
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
  FreePicture();
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
  }
  MakePicture();
  return true;
}

void X11Host::MakePicture() {
  FreePicture();
  if (shmCompletion_ >= 0) {
    picture_ = SharedPicture();
  }
  if (!picture_) {
    picture_ = OwnPicture();
  }
}

void X11Host::FreePicture() {
  if (picture_ && picture_->shared) {
    // The server lets go of the segment before the program does.
    XShmDetach(display_, &picture_->segment);
    XSync(display_, False);
  }
  picture_.reset();
}

// A picture in a segment shared with the server; null when the server cannot
// attach it, as over a network.
std::unique_ptr<X11Host::Picture> X11Host::SharedPicture() {
  auto p = std::make_unique<Picture>();
  p->image = XShmCreateImage(display_, static_cast<Visual*>(visual_), depth_, ZPixmap, nullptr,
                             &p->segment, width_, height_);
  if (p->image == nullptr || p->image->bits_per_pixel != 32) {
    return nullptr;
  }
  const auto bytes = static_cast<std::size_t>(p->image->bytes_per_line) * height_;
  p->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
  if (p->segment.shmid < 0) {
    return nullptr;
  }
  void* address = shmat(p->segment.shmid, nullptr, 0);
  // Marked for removal at once: it goes when both sides have let go of it.
  shmctl(p->segment.shmid, IPC_RMID, nullptr);
  if (address == reinterpret_cast<void*>(-1)) {
    return nullptr;
  }
  p->segment.shmaddr = p->image->data = static_cast<char*>(address);
  p->segment.readOnly = True;
  shmFailed = false;
  XShmAttach(display_, &p->segment);
  XSync(display_, False);
  if (shmFailed) {
    // The server cannot reach this machine's memory: the pictures after this
    // one go through the socket without asking again.
    shmCompletion_ = -1;
    return nullptr;
  }
  p->shared = true;
  return p;
}

// A picture in the program's memory, sent through the socket; null when
// there is no memory for it.
std::unique_ptr<X11Host::Picture> X11Host::OwnPicture() {
  auto p = std::make_unique<Picture>();
  const auto count = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  p->own.reset(new (std::nothrow) std::uint32_t[count]);
  if (!p->own) {
    return nullptr;
  }
  p->image = XCreateImage(display_, static_cast<Visual*>(visual_), depth_, ZPixmap, 0,
                          reinterpret_cast<char*>(p->own.get()), width_, height_, 32, width_ * 4);
  if (p->image == nullptr) {
    return nullptr;
  }
  // The words are in this machine's order; Xlib swaps them for a server
  // that wants the other.
  p->image->byte_order = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
  return p;
}

bool X11Host::shared() const { return picture_ && picture_->shared; }

raster::PixelBuffer X11Host::picture() const {
  return picture_ ? picture_->pixels() : raster::PixelBuffer{};
}

raster::PixelBuffer X11Host::BeginDrawing() {
  if (!picture_) {
    return {};
  }
  if (picture_->busy) {
    // The word that the server has read the last put has usually come
    // already; otherwise wait for it to finish (a put that failed sends no
    // word at all).
    XEvent event;
    while (picture_->busy && XCheckTypedEvent(display_, shmCompletion_, &event)) {
      Completed(event);
    }
    if (picture_->busy) {
      XSync(display_, False);
      picture_->busy = false;
    }
  }
  return picture_->pixels();
}

void X11Host::Send(std::span<const raster::PixelRect> rects) {
  if (!picture_) {
    return;
  }
  XImage* image = picture_->image;
  const auto clipped = [image](const raster::PixelRect& r) {
    return r.Intersected({0, 0, image->width, image->height});
  };
  // Only the last shared put asks for word of its end: the server takes the
  // requests in order.
  std::size_t end = rects.size();
  while (end > 0 && clipped(rects[end - 1]).empty()) {
    --end;
  }
  for (std::size_t i = 0; i < end; ++i) {
    const raster::PixelRect area = clipped(rects[i]);
    if (area.empty()) {
      continue;
    }
    if (!picture_->shared) {
      XPutImage(display_, window_, gc_, image, area.x, area.y, area.x, area.y,
                static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
      continue;
    }
    picture_->lastPut = NextRequest(display_);
    XShmPutImage(display_, window_, gc_, image, area.x, area.y, area.x, area.y,
                 static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                 i + 1 == end ? True : False);
    picture_->busy = true;
  }
  XFlush(display_);
}

void X11Host::Completed(const XEvent& event) {
  // Only the last put's word frees the picture: an earlier one may still be
  // queued after a wait for the server.
  const auto& done = reinterpret_cast<const XShmCompletionEvent&>(event);
  if (picture_ && picture_->shared && done.shmseg == picture_->segment.shmseg &&
      done.serial >= picture_->lastPut) {
    picture_->busy = false;
  }
}

std::vector<raster::PixelRect> X11Host::Monitors() {
  std::vector<raster::PixelRect> monitors;
  if (window_ != DefaultRootWindow(display_)) {
    return monitors;
  }
  if (randrEvents_ < 0) {
    int events = 0;
    int errors = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display_, &events, &errors) ||
        !XRRQueryVersion(display_, &major, &minor) || major * 100 + minor < 105) {
      return monitors;
    }
    randrEvents_ = events;
    XRRSelectInput(display_, window_,
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
  }
  int count = 0;
  XRRMonitorInfo* info = XRRGetMonitors(display_, window_, True, &count);
  for (int i = 0; i < count; ++i) {
    monitors.push_back({info[i].x, info[i].y, info[i].width, info[i].height});
  }
  if (info != nullptr) {
    XRRFreeMonitors(info);
  }
  return monitors;
}

X11Host::News X11Host::Read() {
  News news;
  while (XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    if (event.type == shmCompletion_) {
      Completed(event);
      continue;
    }
    if (randrEvents_ >= 0 && (event.type == randrEvents_ + RRScreenChangeNotify ||
                              event.type == randrEvents_ + RRNotify)) {
      XRRUpdateConfiguration(&event);
      news.monitors = true;
      continue;
    }
    if (event.xany.window != window_) {
      continue;
    }
    switch (event.type) {
      case ConfigureNotify:
        // The server says so on the root when monitors are set by hand.
        if (randrEvents_ >= 0) {
          news.monitors = true;
        }
        if (event.xconfigure.width != width_ || event.xconfigure.height != height_) {
          width_ = event.xconfigure.width;
          height_ = event.xconfigure.height;
          news.resized = true;
        }
        break;
      case Expose:
        news.exposed = news.exposed.United(
            {event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height});
        break;
      case DestroyNotify:
        hostGone = true;
        break;
      default:
        break;
    }
  }
  if (news.resized) {
    MakePicture();
  }
  news.gone = hostGone;
  return news;
}

}  // namespace kelvarin
