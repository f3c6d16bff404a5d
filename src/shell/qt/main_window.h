#pragma once

#include <QTimer>
#include <QWidget>

#include "app/battle.h"
#include "shell/qt/surface_widget.h"
#include "version.h"

namespace kelvarin {

inline constexpr const char* kWindowCaption = kVersionText;

// `frm`: the program's one window. It owns the battle (its pixels lent by
// `pct` from the window's backing store), the drawing surface widget `pct`
// and the timer `tmr`, and runs Form_Resize, the keys reported by `pct` and
// the tick.
class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  // With collectStats, every tick is timed (see TickStats).
  explicit MainWindow(bool collectStats = false, QWidget* parent = nullptr);
  ~MainWindow() override;

  Battle& battle() { return battle_; }
  SurfaceWidget* pct() { return pct_; }
  QTimer& tmr() { return tmr_; }

  // Re-fits the surface to the window and clears it; see resizeEvent.
  void Form_Resize();

  // For full screen: the surface becomes the whole window, with no border
  // and no margins, and the window keeps no minimum size.
  void UseWholeWindow();

  // The handlers behind `pct`'s keys and the timer.
  void KeyDown(int keyCode);
  void Tick();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  Battle battle_;
  SurfaceWidget* pct_ = nullptr;
  QTimer tmr_;
  QSize fittedOuter_;  // the outer size the surface was last fitted to
  bool wholeWindow_ = false;
};

}  // namespace kelvarin
