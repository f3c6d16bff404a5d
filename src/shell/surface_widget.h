#pragma once

#include <QFrame>
#include <QPointF>

#include "shell/window_metrics.h"

namespace kelvarin {

class ImageSurface;

// The key code a key press stands for: 27 for Escape, 13 for Return and the
// keypad's Enter, 0 for every other key (ignored).
int KeyCodeFor(int qtKey);

// The button number a mouse button stands for: 1 left, 2 right, 4 middle,
// 0 for any other button (ignored).
int ButtonCodeFor(Qt::MouseButton button);

// A position inside the surface's drawable area, in pixels from its top-left
// corner, as logical coordinates (0..800 x 0..600, clamped to the edges).
QPointF LogicalFromInner(QPointF pixel, PixelSize inner);

// `pct`: the drawing surface. A sunken panel with a 2-pixel border whose
// inside shows the off-screen picture of an ImageSurface; black wherever the
// picture does not reach. It takes the keyboard focus and the mouse and
// reports keys and button presses in the program's own codes.
class SurfaceWidget final : public QFrame {
  Q_OBJECT

 public:
  SurfaceWidget(const ImageSurface& surface, QWidget* parent);

  // Asks for a repaint of a rectangle given in picture pixels.
  void UpdatePicture(const QRect& pictureRect);

 signals:
  void keyDown(int keyCode);
  void mouseDown(int button, float x, float y);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void Press(QMouseEvent* event);

  const ImageSurface& surface_;
};

}  // namespace kelvarin
