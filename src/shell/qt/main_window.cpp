#include "shell/qt/main_window.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <algorithm>

#include "app/tick_clock.h"

namespace kelvarin {

MainWindow::MainWindow(bool collectStats, QWidget* parent)
    : QWidget(parent), battle_(Battle::Pixels::Lent, collectStats) {
  // Until the window is first fitted, the picture is the inside of `pct` at
  // its initial size.
  const PixelSize inner = InnerSizeForSurface({kInitialSurfaceWidth, kInitialSurfaceHeight});
  battle_.Resize(inner.width, inner.height);
  // `pct` comes first: every resize may run Form_Resize, which fits it.
  pct_ = new SurfaceWidget(battle_, this);
  pct_->setGeometry(kSurfaceLeft, kSurfaceTop, kInitialSurfaceWidth, kInitialSurfaceHeight);
  setWindowTitle(QString::fromLatin1(kWindowCaption));
  resize(kInitialClientWidth, kInitialClientHeight);
  setMinimumSize(MinOuterPixels(), MinOuterPixels());
  pct_->setFocus();
  connect(pct_, &SurfaceWidget::keyDown, this, &MainWindow::KeyDown);

  tmr_.setInterval(kTickIntervalMs);
  tmr_.setTimerType(Qt::PreciseTimer);
  connect(&tmr_, &QTimer::timeout, this, &MainWindow::Tick);
  tmr_.start();
}

// `pct` shows the battle's picture, a member, which goes before QWidget
// deletes the children: delete `pct` while the picture is still there.
MainWindow::~MainWindow() { delete pct_; }

void MainWindow::Form_Resize() {
  if (isMinimized()) {
    return;
  }
  if (wholeWindow_) {
    fittedOuter_ = frameGeometry().size();
    pct_->setGeometry(rect());
    pct_->Refit();
    return;
  }
  // The outer size includes the frame and title bar; before the window system
  // has told us the frame, it is the client size.
  const QSize client = size();
  const QSize frame = frameGeometry().size();
  const PixelSize outer{frame.width(), frame.height()};
  const PixelSize margins{std::max(0, outer.width - client.width()),
                          std::max(0, outer.height - client.height())};

  const PixelSize snapped = SnapOuterSize(outer);
  if (snapped != outer) {
    resize(client.width() + (snapped.width - outer.width),
           client.height() + (snapped.height - outer.height));
  }
  // A minimum size that keeps the outer size at the smallest allowed, so a
  // window manager that refuses the resize above cannot start a resize loop.
  const QSize minimum(std::max(0, MinOuterPixels() - margins.width),
                      std::max(0, MinOuterPixels() - margins.height));
  if (minimumSize() != minimum) {
    setMinimumSize(minimum);
  }

  fittedOuter_ = QSize(snapped.width, snapped.height);
  const PixelSize surfaceSize = SurfaceSizeForOuter(snapped);
  pct_->setGeometry(kSurfaceLeft, kSurfaceTop, surfaceSize.width, surfaceSize.height);
  pct_->Refit();
}

void MainWindow::UseWholeWindow() {
  wholeWindow_ = true;
  pct_->setFrameStyle(QFrame::NoFrame);
  setMinimumSize(0, 0);
  Form_Resize();
}

void MainWindow::KeyDown(int keyCode) {
  if (battle_.Key(keyCode)) {
    tmr_.stop();
    close();
  }
}

void MainWindow::Tick() { battle_.Tick(*pct_); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void MainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  // Coming back from minimized may not resize the window; re-fit anyway.
  if (event->type() == QEvent::WindowStateChange && !isMinimized() && isVisible()) {
    Form_Resize();
  }
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // A window manager tells the frame's size only after the first show, and
  // does not resize the client for it: when the outer size is news, re-fit.
  if (isVisible() && !isMinimized() && frameGeometry().size() != fittedOuter_) {
    Form_Resize();
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  tmr_.stop();
  event->accept();
}

}  // namespace kelvarin
