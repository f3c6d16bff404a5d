#pragma once

#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/tick_stats.h"
#include "picture/pixel_surface.h"
#include "shell/qt/surface_widget.h"
#include "sim/random.h"
#include "sim/world.h"
#include "state/battle_state.h"
#include "version.h"

namespace kelvarin {

inline constexpr const char* kWindowCaption = kVersionText;

// `frm`: the program's one window. It owns the battle state, the random
// generator, the surface the battle draws on (its pixels lent by `pct` from
// the window's backing store), the drawing surface widget `pct` and the timer
// `tmr`, and runs the handlers: Form_Resize, the keys and presses reported by
// `pct`, and the tick.
class MainWindow final : public QWidget {
  Q_OBJECT

 public:
  // With collectStats, every tick is timed (see TickStats).
  explicit MainWindow(bool collectStats = false, QWidget* parent = nullptr);
  ~MainWindow() override;

  BattleState& state() { return state_; }
  PixelSurface& surface() { return surface_; }
  World& world() { return world_; }
  SurfaceWidget* pct() { return pct_; }
  QTimer& tmr() { return tmr_; }
  const TickStats* stats() const { return stats_.get(); }

  // Re-fits the surface to the window and clears it; see resizeEvent.
  void Form_Resize();

  // For full screen: the surface becomes the whole window, with no border
  // and no margins, and the window keeps no minimum size.
  void UseWholeWindow();

  // The handlers behind `pct`'s key and mouse reports and the timer.
  void KeyDown(int keyCode);
  void MouseDown(int button, float x, float y);
  void Tick();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  BattleState state_{};
  BuiltinRandom random_;
  PixelSurface surface_;
  World world_{state_, surface_, random_};
  SurfaceWidget* pct_ = nullptr;
  QTimer tmr_;
  std::unique_ptr<TickStats> stats_;
  QSize fittedOuter_;  // the outer size the surface was last fitted to
  bool wholeWindow_ = false;
};

}  // namespace kelvarin
