#pragma once

#include <QFrame>
#include <QImage>
#include <QPointF>
#include <QRegion>
#include <span>
#include <vector>

#include "app/battle.h"
#include "app/window_metrics.h"

class QBackingStore;

namespace kelvarin {

// The key code a key press stands for: 27 for Escape, 13 for Return and the
// keypad's Enter, 0 for every other key (ignored).
int KeyCodeFor(int qtKey);

// The button number a mouse button stands for: 1 left, 2 right, 4 middle,
// 0 for any other button (ignored).
int ButtonCodeFor(Qt::MouseButton button);

// `pct`: the drawing surface. A sunken panel with a 2-pixel border whose
// inside shows the battle's picture. It takes the keyboard focus and the
// mouse: a button press goes to the battle, a key is reported in the
// program's own codes.
//
// The picture has no buffer of its own: it is kept in the window's backing
// store, the one full-size buffer the toolkit keeps for the window anyway,
// at device pixels (the inside times the device pixel ratio, rounded), so
// lines are one device pixel wide on any screen. A tick borrows those pixels
// (BeginDrawing), and EndDrawing hands the rectangles it drew on straight to
// the window system; nothing is copied on the way and nothing is repainted.
// Being covered and uncovered costs nothing either: the backing store still
// holds the picture.
class SurfaceWidget final : public QFrame, public Screen {
  Q_OBJECT

 public:
  SurfaceWidget(Battle& battle, QWidget* parent);

  // Fits the picture to the inside at the current device pixel ratio and
  // clears it: the battle takes the new size at once, the pixels turn black
  // at the next drawing (or paint, whichever comes first).
  void Refit();

  // The picture's pixels in the backing store, for a tick. None when there
  // are none yet (the window is not shown, or the toolkit has not yet fitted
  // its backing store to a new size).
  raster::PixelBuffer BeginDrawing() override;
  // Puts what was drawn on the screen.
  void EndDrawing(std::span<const raster::PixelRect> tiles) override;

  // A copy of the picture as it is now, at device pixels: black after a
  // re-fit until the next drawing; null when there is no picture to copy.
  QImage Picture();

 signals:
  void keyDown(int keyCode);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Press(QMouseEvent* event);
  // The inside of the surface, in the window's logical coordinates.
  QRect InnerInWindow() const;
  // The window's backing store, when it has been fitted to the window.
  QBackingStore* FittedStore() const;
  // Between the store's beginPaint and endPaint: the picture's pixels in the
  // store as an image, null when they are not there as expected. Notes a
  // store that is not the one drawn into before (its content is not ours).
  QImage* StoreImage(QBackingStore* store);
  // Device pixel rectangles of the picture as a region of the window.
  QRegion WindowRegion(std::span<const raster::PixelRect> rects);

  Battle& battle_;
  qreal ratio_ = 1.0;
  QPoint origin_;  // the picture's top-left in the store, device pixels
  // The size of the store's image last drawn into, to notice a new one.
  QSize storeSize_;
  qsizetype storeStride_ = 0;
  QBackingStore* drawing_ = nullptr;  // set from BeginDrawing to EndDrawing
  std::vector<QRect> windowRects_;
};

}  // namespace kelvarin
