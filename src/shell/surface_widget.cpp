#include "shell/surface_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "shell/image_surface.h"
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

QPointF LogicalFromInner(QPointF pixel, PixelSize inner) {
  const double w = std::max(1, inner.width);
  const double h = std::max(1, inner.height);
  const double x = std::clamp(pixel.x() * 800.0 / w, 0.0, 800.0);
  const double y = std::clamp(pixel.y() * 600.0 / h, 0.0, 600.0);
  return {x, y};
}

SurfaceWidget::SurfaceWidget(const ImageSurface& surface, QWidget* parent)
    : QFrame(parent), surface_(surface) {
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

void SurfaceWidget::UpdatePicture(const QRect& pictureRect) {
  if (pictureRect.isEmpty()) {
    return;
  }
  update(pictureRect.translated(contentsRect().topLeft()) & contentsRect());
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QRect inner = contentsRect();
  const QRect area = event->rect() & inner;
  if (!area.isEmpty()) {
    const QImage& picture = surface_.image();
    const QRect source = area.translated(-inner.topLeft()) & picture.rect();
    if (source.size() != area.size()) {
      painter.fillRect(area, Qt::black);
    }
    if (!source.isEmpty()) {
      painter.drawImage(source.topLeft() + inner.topLeft(), picture, source);
    }
  }
  if (!inner.contains(event->rect())) {
    drawFrame(&painter);
  }
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
  const QPointF pixel = event->position() - QPointF(contentsRect().topLeft());
  const QPointF logical = LogicalFromInner(pixel, PixelSize{surface_.width(), surface_.height()});
  emit mouseDown(button, static_cast<float>(logical.x()), static_cast<float>(logical.y()));
}

}  // namespace kelvarin
