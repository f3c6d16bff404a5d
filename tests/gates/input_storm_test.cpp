// An input storm on the real window classes: thousands of presses of every
// button anywhere on the surface (its border and corners included), Enter and
// other keys, resizes from below the smallest size to very large, and
// minimising, all interleaved with a few hundred ticks. Nothing may crash, the
// battle's rules must hold after every event, the picture must always fit the
// surface, and the heap must not grow from one round to the next.

#include <QtTest>
#include <cstddef>
#include <random>

#include "app/window_metrics.h"
#include "battle_summary.h"
#include "invariants.h"
#include "shell/qt/main_window.h"

#if defined(__SANITIZE_ADDRESS__)
#define KELVARIN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KELVARIN_ASAN 1
#endif
#endif

#ifdef KELVARIN_ASAN
// From the sanitizer runtime (gcc does not ship its header).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

using namespace kelvarin;

namespace {

// Bytes in use on the heap right now (not what the process holds from the
// system, which an allocator keeps for reuse).
std::size_t HeapInUse() {
#ifdef KELVARIN_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

}  // namespace

class InputStormTest : public QObject {
  Q_OBJECT

 private:
  // One round of the storm: `events` events with a tick after every
  // `eventsPerTick` of them. Fails the test at the first broken rule.
  void Storm(MainWindow& frm, std::mt19937& dice, int events, int eventsPerTick) {
    std::uniform_int_distribution<int> percent(0, 99);
    for (int e = 1; e <= events; ++e) {
      SurfaceWidget* pct = frm.pct();
      const int kind = percent(dice);
      if (kind < 60) {
        // A press anywhere on the surface widget, border and corners included.
        const QRect r = pct->rect();
        std::uniform_int_distribution<int> xs(0, std::max(0, r.width() - 1));
        std::uniform_int_distribution<int> ys(0, std::max(0, r.height() - 1));
        QPoint at(xs(dice), ys(dice));
        if (percent(dice) < 20) at.setX(percent(dice) < 50 ? 0 : r.width() - 1);
        if (percent(dice) < 20) at.setY(percent(dice) < 50 ? 0 : r.height() - 1);
        constexpr Qt::MouseButton kButtons[] = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton,
                                                Qt::BackButton};
        const Qt::MouseButton button = kButtons[percent(dice) % 4];
        QTest::mousePress(pct, button, Qt::NoModifier, at);
        QTest::mouseRelease(pct, button, Qt::NoModifier, at);
        if (percent(dice) < 5) QTest::mouseDClick(pct, button, Qt::NoModifier, at);
      } else if (kind < 75) {
        QTest::keyClick(pct, Qt::Key_Return);
      } else if (kind < 80) {
        constexpr Qt::Key kKeys[] = {Qt::Key_Enter, Qt::Key_Space, Qt::Key_A,
                                     Qt::Key_F1,    Qt::Key_Shift, Qt::Key_Tab};
        QTest::keyClick(pct, kKeys[percent(dice) % 6]);
      } else if (kind < 98) {
        std::uniform_int_distribution<int> side(1, 1600);
        const int w = percent(dice) < 20 ? percent(dice) : side(dice);
        const int h = percent(dice) < 20 ? percent(dice) : side(dice);
        frm.resize(w, h);
      } else if (frm.isMinimized()) {
        frm.showNormal();
      } else {
        frm.showMinimized();
      }
      if (e % eventsPerTick == 0) {
        frm.Tick();
        QCoreApplication::processEvents();
        busiest_ = std::max(busiest_, testing::LiveShips(frm.battle().state()));
      }

      const std::string broken = gates::BrokenInvariant(frm.battle().state());
      QVERIFY2(broken.empty(),
               qPrintable(QString("after event %1: %2").arg(e).arg(broken.c_str())));
      QVERIFY(frm.isVisible());
      if (!frm.isMinimized()) {
        const QSize outer = frm.frameGeometry().size();
        QVERIFY2(outer.width() >= MinOuterPixels() && outer.height() >= MinOuterPixels(),
                 qPrintable(QString("window %1x%2 after event %3")
                                .arg(outer.width())
                                .arg(outer.height())
                                .arg(e)));
        const QSize inner = frm.pct()->contentsRect().size();
        QVERIFY2(QSize(frm.battle().surface().width(), frm.battle().surface().height()) == inner,
                 qPrintable(QString("picture %1x%2, surface inside %3x%4 after event %5")
                                .arg(frm.battle().surface().width())
                                .arg(frm.battle().surface().height())
                                .arg(inner.width())
                                .arg(inner.height())
                                .arg(e)));
      }
    }
    // Back to where each round starts, so the rounds can be compared.
    frm.showNormal();
    frm.resize(kInitialClientWidth, kInitialClientHeight);
    QCoreApplication::processEvents();
  }

 private:
  int busiest_ = 0;

 private slots:
  void stormKeepsTheBattleSoundAndTheHeapFlat() {
    MainWindow frm;
    frm.tmr().stop();  // the storm runs the ticks itself
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    std::mt19937 dice(1208);

    // 4 rounds of 2,500 events with a tick after every 25: 10,000 events,
    // about 6,000 presses, 1,500 Enter, 1,800 resizes, 400 ticks.
    Storm(frm, dice, 2500, 25);  // warms up Qt's caches and the pools
    if (QTest::currentTestFailed()) return;
    const std::size_t before = HeapInUse();
    for (int round = 0; round < 3; ++round) {
      Storm(frm, dice, 2500, 25);
      if (QTest::currentTestFailed()) return;
    }
    const std::size_t after = HeapInUse();
    qInfo("heap in use: %zu bytes after the first round, %zu after the fourth; up to %d ships",
          before, after, busiest_);
    QVERIFY2(busiest_ >= 20, "the presses never filled the battle");
    // The picture is reallocated on every resize; the same size at the end of
    // each round means the same heap, give or take Qt's own bookkeeping.
    QVERIFY2(after < before + 256 * 1024,
             qPrintable(QString("the heap grew by %1 bytes").arg(double(after) - double(before))));
  }
};

QTEST_MAIN(InputStormTest)
#include "input_storm_test.moc"
