// The parts of the full-screen and screensaver modes that need no display:
// the whole-window layout, the ambient start, window ids and quit signals.

#include <QMouseEvent>
#include <QtTest>
#include <csignal>

#include "app/ambient_start.h"
#include "app/window_id.h"
#include "shell/posix/quit_signals.h"
#include "shell/qt/main_window.h"
#include "shell/qt/run_window.h"
#include "sim/tick.h"

using namespace kelvarin;

namespace {

int LiveShips(const BattleState& s) {
  int n = 0;
  for (const auto health : s.ShipHealth) n += health > 0 ? 1 : 0;
  return n;
}

// The picture's size in device pixels, as the surface draws on it, and the
// size it must have for a window of logical size w × h.
QSize Inside(MainWindow& frm) {
  return {frm.battle().surface().width(), frm.battle().surface().height()};
}
QSize Device(MainWindow& frm, int w, int h) {
  const qreal ratio = frm.devicePixelRatioF();
  return {qRound(w * ratio), qRound(h * ratio)};
}

}  // namespace

class ModesTest : public QObject {
  Q_OBJECT

 private slots:
  void wholeWindowHasNoBorderAndFollowsResizes() {
    MainWindow frm;
    frm.UseWholeWindow();
    frm.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frm));
    frm.resize(1000, 500);
    QTRY_COMPARE(frm.size(), QSize(1000, 500));
    QCOMPARE(frm.pct()->geometry(), QRect(0, 0, 1000, 500));
    QCOMPARE(frm.pct()->contentsRect(), frm.pct()->rect());
    QCOMPARE(Inside(frm), Device(frm, 1000, 500));
    // Smaller than the plain window's minimum: no snapping back.
    frm.resize(100, 80);
    QTRY_COMPARE(Inside(frm), Device(frm, 100, 80));

    // A press maps over the whole window: the far corner is (800, 600).
    frm.resize(400, 300);
    QTRY_COMPARE(Inside(frm), Device(frm, 400, 300));
    const QPointF corner(399.5, 299.5);
    QMouseEvent press(QEvent::MouseButtonPress, corner, frm.pct()->mapToGlobal(corner),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(frm.pct(), &press);
    QCOMPARE(LiveShips(frm.battle().state()), 5);
    QVERIFY(frm.battle().state().ShipX[0] > 798 && frm.battle().state().ShipY[0] > 598);
  }

  void ambientStartBringsTheFirstBattleAtTickFour() {
    const auto run = [](double timeOfDay, int ticks) {
      auto s = std::make_unique<BattleState>();
      BuiltinRandom random;
      NullSurface surface;
      World world{*s, surface, random};
      StartAmbient(world, timeOfDay);
      for (int i = 0; i < ticks; ++i) tmr_Timer(world);
      return s;
    };
    QCOMPARE(LiveShips(*run(3600.25, 3)), 0);
    const auto first = run(3600.25, 4);
    QCOMPARE(LiveShips(*first), 15);
    QCOMPARE(first->IdleTicks, 0);
    // Another time of day, another battle; the same time, the same battle.
    QVERIFY(run(3600.5, 4)->ShipX != first->ShipX);
    QVERIFY(run(3600.25, 4)->ShipX == first->ShipX);

    // On a seed of its own, the start reaches in four ticks the battle that
    // the seed brings after the lull's 150.
    const auto seeded = [](int ticks, bool ambient) {
      auto s = std::make_unique<BattleState>();
      BuiltinRandom random;
      NullSurface surface;
      World world{*s, surface, random};
      if (ambient) {
        StartAmbient(*s, random, 315);
      } else {
        random.Seed(315);
      }
      for (int i = 0; i < ticks; ++i) tmr_Timer(world);
      return s;
    };
    const auto early = seeded(4 + 60, true);
    const auto late = seeded(150 + 60, false);
    QCOMPARE(LiveShips(*early), LiveShips(*late));
    QVERIFY(early->ShipX == late->ShipX && early->PartX == late->PartX);
  }

  void windowIds() {
    QCOMPARE(ParseWindowId("0x2a00007"), std::optional<unsigned long>(0x2a00007));
    QCOMPARE(ParseWindowId("0XfF"), std::optional<unsigned long>(255));
    QCOMPARE(ParseWindowId("44040199"), std::optional<unsigned long>(44040199));
    QCOMPARE(ParseWindowId("0xffffffff"), std::optional<unsigned long>(0xffffffffUL));
    for (const char* bad : {"", "0x", "x12", "12a", "0x12g", "-5", "+5", " 5", "5 ", "0x-1",
                            "0x100000000", "4294967296", "1e3", "0x0x1"}) {
      QVERIFY2(!ParseWindowId(bad), bad);
    }
  }

  // A signal before the loop watches for it is not lost: the loop, once it
  // runs, ends with status 0 at once.
  void quitSignalEndsTheEventLoopWithZero() {
    QVERIFY(CatchQuitSignals());
    std::raise(SIGHUP);
    QuitOnCaughtSignals(*QCoreApplication::instance());
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    QCOMPARE(QCoreApplication::exec(), 0);
  }
};

QTEST_MAIN(ModesTest)
#include "modes_test.moc"
