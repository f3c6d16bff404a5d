#include "shell/qt/surface_widget.h"

#include <QBackingStore>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "sim/input.h"

namespace kelvarin {

int KeyCodeFor(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return kKeyEnter;
    default:
      return 0;
  }
}

int ButtonCodeFor(Qt::MouseButton button) {
  switch (button) {
    case Qt::LeftButton:
      return kButtonLeft;
    case Qt::RightButton:
      return kButtonRight;
    case Qt::MiddleButton:
      return kButtonMiddle;
    default:
      return 0;
  }
}

SurfaceWidget::SurfaceWidget(Battle& battle, QWidget* parent) : QFrame(parent), battle_(battle) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(kSurfaceBorder);
  setFocusPolicy(Qt::StrongFocus);
  // Everything inside the border comes from the picture, so nothing needs to
  // be erased first; the background is black whatever the desktop theme.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  pal.setColor(QPalette::Base, Qt::black);
  setPalette(pal);
}

void SurfaceWidget::Refit() {
  ratio_ = devicePixelRatioF();
  const QSize inner = contentsRect().size();
  battle_.Resize(std::max(1, qRound(inner.width() * ratio_)),
                 std::max(1, qRound(inner.height() * ratio_)));
  update();
}

QRect SurfaceWidget::InnerInWindow() const {
  const QRect inner = contentsRect();
  return {mapTo(window(), inner.topLeft()), inner.size()};
}

QBackingStore* SurfaceWidget::FittedStore() const {
  const QWidget* top = window();
  QBackingStore* store = top->backingStore();
  if (!isVisible() || store == nullptr || store->size().isEmpty() || store->size() != top->size()) {
    return nullptr;
  }
  return store;
}

QImage* SurfaceWidget::StoreImage(QBackingStore* store) {
  QPaintDevice* device = store->paintDevice();
  if (device == nullptr || device->devType() != QInternal::Image) {
    return nullptr;
  }
  auto* image = static_cast<QImage*>(device);
  const QPoint at = InnerInWindow().topLeft();
  origin_ = QPoint(qRound(at.x() * ratio_), qRound(at.y() * ratio_));
  const PixelSurface& surface = battle_.surface();
  if (image->depth() != 32 ||
      !image->rect().contains(QRect(origin_, QSize(surface.width(), surface.height())))) {
    return nullptr;
  }
  if (image->size() != storeSize_ || image->bytesPerLine() != storeStride_) {
    // A store of another size: the toolkit re-made it, and what it holds is
    // not ours. (A window system may hand out another buffer of the same size
    // from one frame to the next, with the content carried over.)
    storeSize_ = image->size();
    storeStride_ = image->bytesPerLine();
    battle_.PictureLost();
  }
  return image;
}

raster::PixelBuffer SurfaceWidget::BeginDrawing() {
  QBackingStore* store = FittedStore();
  if (store == nullptr) {
    return {};
  }
  if (devicePixelRatioF() != ratio_) {
    Refit();  // the window is on a screen with another ratio now
  }
  // The region tells the window system what may change: it waits for the
  // screen to have taken the pixels last handed over before they are written
  // again, and without shared memory uploads this part.
  store->beginPaint(QRegion(InnerInWindow()));
  QImage* image = StoreImage(store);
  if (image == nullptr) {
    store->endPaint();
    return {};
  }
  drawing_ = store;
  // Through constBits(): the store's image wraps memory the window system
  // shares, and must never be detached from it.
  auto* bits = const_cast<uchar*>(image->constBits()) + origin_.y() * image->bytesPerLine() +
               origin_.x() * 4;
  const PixelSurface& surface = battle_.surface();
  return {reinterpret_cast<std::uint32_t*>(bits), surface.width(), surface.height(),
          static_cast<int>(image->bytesPerLine() / 4)};
}

void SurfaceWidget::EndDrawing(std::span<const raster::PixelRect> tiles) {
  if (drawing_ == nullptr) {
    return;
  }
  QBackingStore* store = drawing_;
  drawing_ = nullptr;
  store->endPaint();
  const QWindow* handle = window()->windowHandle();
  if (!tiles.empty() && handle != nullptr && handle->isExposed()) {
    store->flush(WindowRegion(tiles));
  }
}

QRegion SurfaceWidget::WindowRegion(std::span<const raster::PixelRect> rects) {
  windowRects_.clear();
  // Device pixels to the logical pixels that cover them. At a whole ratio the
  // rectangles keep their bands, as setRects wants them; at a fractional one
  // the toolkit rounds its way back, so each is grown by a pixel and merged.
  const bool whole = ratio_ == std::floor(ratio_);
  QRegion region;
  for (const raster::PixelRect& r : rects) {
    const int x0 = origin_.x() + r.x;
    const int y0 = origin_.y() + r.y;
    const QPoint topLeft(static_cast<int>(std::floor(x0 / ratio_)),
                         static_cast<int>(std::floor(y0 / ratio_)));
    const QPoint end(static_cast<int>(std::ceil((x0 + r.width) / ratio_)),
                     static_cast<int>(std::ceil((y0 + r.height) / ratio_)));
    const QRect logical(topLeft, QSize(end.x() - topLeft.x(), end.y() - topLeft.y()));
    if (whole) {
      windowRects_.push_back(logical);
    } else {
      region += logical.adjusted(-1, -1, 1, 1);
    }
  }
  if (whole) {
    region.setRects(windowRects_.data(), static_cast<int>(windowRects_.size()));
  }
  return region;
}

QImage SurfaceWidget::Picture() {
  const PixelSurface& surface = battle_.surface();
  QImage picture;
  QBackingStore* store = drawing_ != nullptr ? drawing_ : FittedStore();
  if (store != nullptr) {
    if (drawing_ == nullptr) {
      store->beginPaint(QRegion(InnerInWindow()));
    }
    const QImage* image = StoreImage(store);
    if (image != nullptr && !battle_.clearPending()) {
      picture = image->copy(QRect(origin_, QSize(surface.width(), surface.height())))
                    .convertToFormat(QImage::Format_RGB32);
      picture.setDevicePixelRatio(1.0);
    }
    if (drawing_ == nullptr) {
      store->endPaint();
    }
  }
  if (picture.isNull() && battle_.clearPending()) {
    // Re-fitted and not drawn on since: black, whatever the store holds.
    picture = QImage(surface.width(), surface.height(), QImage::Format_RGB32);
    picture.fill(Qt::black);
  }
  return picture;
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
  // Where this paint goes: the backing store, or somewhere else (a grab).
  const QPaintDevice* target = redirected(nullptr);
  QBackingStore* store = backingStore();
  const bool intoStore = store != nullptr && target != nullptr && target == store->paintDevice();
  QPainter painter(this);
  const QRect inner = contentsRect();
  const QRect area = event->rect() & inner;
  if (!area.isEmpty()) {
    if (!intoStore) {
      const QImage picture = Picture();
      painter.fillRect(area, Qt::black);
      if (!picture.isNull()) {
        painter.setClipRect(area);
        painter.drawImage(QRectF(inner), picture);
      }
    } else if (ratio_ != devicePixelRatioF() || StoreImage(store) == nullptr ||
               battle_.clearPending()) {
      // The store holds no picture here yet: black until the next tick
      // clears it exactly and draws.
      battle_.PictureLost();
      painter.fillRect(area, Qt::black);
    }
    // Otherwise the store already holds the picture: nothing to paint.
  }
  if (!inner.contains(event->rect())) {
    drawFrame(&painter);
  }
}

// Hidden, a window may give its backing store back to the window system.
void SurfaceWidget::showEvent(QShowEvent* event) {
  QFrame::showEvent(event);
  battle_.PictureLost();
}

void SurfaceWidget::keyPressEvent(QKeyEvent* event) {
  const int code = KeyCodeFor(event->key());
  if (code == 0) {
    event->ignore();
    return;
  }
  event->accept();
  emit keyDown(code);
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) { Press(event); }

// The second press of a double-click is a press like any other.
void SurfaceWidget::mouseDoubleClickEvent(QMouseEvent* event) { Press(event); }

void SurfaceWidget::Press(QMouseEvent* event) {
  const int button = ButtonCodeFor(event->button());
  if (button == 0) {
    event->ignore();
    return;
  }
  event->accept();
  const QRect inner = contentsRect();
  const QPointF at = event->position() - QPointF(inner.topLeft());
  battle_.Press(button, at.x(), at.y(), inner.width(), inner.height());
}

}  // namespace kelvarin
