#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

#include "app/tick_stats.h"
#include "app/window_metrics.h"
#include "shell/qt/main_window.h"
#include "sim/input.h"

using namespace kelvarin;

namespace {

bool AnyLit(const QImage& image) {
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFF) != 0) {
        return true;
      }
    }
  }
  return false;
}

// A battle in the picture: a fleet in the middle, drawn by a tick.
void DrawFleet(MainWindow& frm) {
  frm.battle().Press(kButtonRight, 400, 300, 800, 600);
  frm.Tick();
}

// Shows the window and waits until it is on screen.
bool Shown(MainWindow& frm) {
  frm.show();
  return QTest::qWaitForWindowExposed(&frm);
}

void SendPress(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPointF pos) {
  QMouseEvent event(type, pos, target->mapToGlobal(pos), button, button, Qt::NoModifier);
  QApplication::sendEvent(target, &event);
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initialWindow() {
    MainWindow frm;
    QCOMPARE(frm.windowTitle(), QString("Kelvarin 1.06"));
    QCOMPARE(frm.size(), QSize(713, 597));
    QCOMPARE(frm.pct()->geometry(), QRect(8, 8, 553, 441));
    QCOMPARE(frm.pct()->frameStyle(), int(QFrame::Panel | QFrame::Sunken));
    QCOMPARE(frm.pct()->lineWidth(), 2);
    QCOMPARE(frm.pct()->contentsRect(), QRect(2, 2, 549, 437));
    QCOMPARE(frm.tmr().interval(), 40);
    QCOMPARE(frm.tmr().timerType(), Qt::PreciseTimer);
    QVERIFY(frm.tmr().isActive());
  }

  void showingAndResizingFitAndClearTheSurface() {
    MainWindow frm;
    frm.tmr().stop();
    DrawFleet(frm);  // no picture before the window is shown
    QVERIFY(frm.pct()->Picture().isNull() || !AnyLit(frm.pct()->Picture()));
    QVERIFY(Shown(frm));
    QVERIFY(frm.pct()->hasFocus());
    CheckFitted(frm);
    QVERIFY(!AnyLit(frm.pct()->Picture()));
    DrawFleet(frm);
    QVERIFY(AnyLit(frm.pct()->Picture()));
    frm.resize(400, 300);
    QTRY_COMPARE(frm.size(), QSize(400, 300));
    CheckFitted(frm);
    QVERIFY(!AnyLit(frm.pct()->Picture()));
  }

  void tooSmallSnapsBack() {
    MainWindow frm;
    QVERIFY(Shown(frm));
    // The minimum size alone already prevents it; take it away to see the rule.
    frm.setMinimumSize(0, 0);
    frm.resize(60, 300);
    QTRY_VERIFY(frm.frameGeometry().width() >= 133);
    QCOMPARE(frm.frameGeometry().width(), 133);
    QCOMPARE(frm.height(), 300);
    frm.setMinimumSize(0, 0);
    frm.resize(300, 20);
    QTRY_COMPARE(frm.frameGeometry().height(), 133);
    CheckFitted(frm);
    QVERIFY(frm.minimumWidth() <= 133 && frm.minimumWidth() > 0);
  }

  void minimizedIsLeftAlone() {
    MainWindow frm;
    QVERIFY(Shown(frm));
    frm.tmr().stop();
    const QRect before = frm.pct()->geometry();
    frm.setWindowState(Qt::WindowMinimized);
    DrawFleet(frm);
    frm.Form_Resize();
    QCOMPARE(frm.pct()->geometry(), before);
    QVERIFY(AnyLit(frm.pct()->Picture()));
  }

  // The surface widget shows the window's picture, so it must go before the
  // picture does: anything that makes it paint while the window is torn down
  // would read a picture already destroyed.
  void surfaceWidgetGoesBeforeThePicture() {
    auto* frm = new MainWindow;
    QVERIFY(Shown(*frm));
    const PixelSurface& picture = frm->battle().surface();
    const QSize size(picture.width(), picture.height());
    QSize seen;
    connect(frm->pct(), &QObject::destroyed,
            [&picture, &seen] { seen = QSize(picture.width(), picture.height()); });
    delete frm;
    QCOMPARE(seen, size);
  }

  void keys() {
    MainWindow frm;
    QVERIFY(Shown(frm));
    auto* pct = frm.pct();

    QTest::keyClick(pct, Qt::Key_A);
    QTest::keyClick(pct, Qt::Key_Space);
    QTest::keyClick(pct, Qt::Key_Tab);
    QTest::keyClick(pct, Qt::Key_F1);
    QCOMPARE(frm.battle().state().PurgeFlag, kFalse);

    const std::pair<Qt::Key, Qt::KeyboardModifiers> enters[] = {
        {Qt::Key_Return, Qt::NoModifier},
        {Qt::Key_Enter, Qt::KeypadModifier},
        {Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier}};
    for (const auto& [key, modifiers] : enters) {
      frm.battle().state().PurgeFlag = kFalse;
      QTest::keyClick(pct, key, modifiers);
      QCOMPARE(frm.battle().state().PurgeFlag, kTrue);
    }
    QVERIFY(frm.isVisible());

    QTest::keyClick(pct, Qt::Key_Escape, Qt::ShiftModifier);
    QVERIFY(!frm.isVisible());
    QVERIFY(!frm.tmr().isActive());
  }

  void closeButtonStopsTheTimer() {
    MainWindow frm;
    QVERIFY(Shown(frm));
    QVERIFY(frm.close());
    QVERIFY(!frm.tmr().isActive());
  }

  // Which fleet a press brings is the battle's business; the window hands it
  // the button and the logical point.
  void clicksSpawnFleetsAtTheLogicalPoint() {
    MainWindow frm;
    frm.resize(500, 400);
    QVERIFY(Shown(frm));
    frm.tmr().stop();
    auto* pct = frm.pct();
    const QSize inner(frm.battle().surface().width(), frm.battle().surface().height());
    const BattleState& s = frm.battle().state();

    // A quarter across and half down the inside, past the 2-pixel border;
    // the left button brings a flagship.
    const QPointF at(2 + inner.width() / 4.0, 2 + inner.height() / 2.0);
    SendPress(pct, QEvent::MouseButtonPress, Qt::LeftButton, at);
    QCOMPARE(s.ShipX[0], 200.0F);
    QCOMPARE(s.ShipY[0], 300.0F);
    QCOMPARE(s.ShipSize[4], 5);

    // The second press of a double-click counts as a press; the right
    // button brings no flagship.
    SendPress(pct, QEvent::MouseButtonDblClick, Qt::RightButton, QPointF(2, 2));
    QCOMPARE(s.ShipX[5], 0.0F);
    QCOMPARE(s.ShipY[5], 0.0F);
    QVERIFY(s.ShipHealth[9] > 0 && s.ShipSize[9] <= 3);

    // Middle button; on the border the position clamps to the edge.
    SendPress(pct, QEvent::MouseButtonPress, Qt::MiddleButton,
              QPointF(pct->width() - 0.5, pct->height() - 0.5));
    QCOMPARE(s.ShipX[10], 800.0F);
    QCOMPARE(s.ShipY[10], 600.0F);
    QVERIFY(s.ShipHealth[14] > 0 && s.ShipSize[14] <= 3);

    // Other buttons do nothing.
    SendPress(pct, QEvent::MouseButtonPress, Qt::BackButton, at);
    QCOMPARE(s.ShipHealth[15], 0);
  }

  // Sizes below any window's, points off the picture and between pixels.
  void sizesAndPointsAtTheirLimits() {
    QCOMPARE(SurfaceSizeForOuter({10, 10}), (PixelSize{0, 0}));
    QCOMPARE(InnerSizeForSurface({3, 0}), (PixelSize{1, 1}));
    QVERIFY((LogicalFromInner(-3, 900, {549, 437}) == LogicalPoint{0, 600}));
    QVERIFY((LogicalFromInner(10.5, 20.25, {100, 50}) == LogicalPoint{84, 243}));
  }

  void pictureSurvivesRepaints() {
    MainWindow frm;
    QVERIFY(Shown(frm));
    frm.tmr().stop();
    DrawFleet(frm);
    const QImage drawn = frm.pct()->Picture();
    QVERIFY(AnyLit(drawn));
    frm.pct()->repaint();
    frm.pct()->setFocus();
    frm.pct()->clearFocus();  // a repaint of the whole surface
    QCoreApplication::processEvents();
    const QImage picture = frm.pct()->Picture();
    QCOMPARE(picture, drawn);

    // What the widget shows inside its border is the picture.
    const QImage shown = frm.pct()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(shown.copy(QRect(frm.pct()->contentsRect().topLeft(), picture.size())), picture);

    // Shown again after being hidden, the window starts a new picture.
    frm.hide();
    QVERIFY(Shown(frm));
    QVERIFY(!AnyLit(frm.pct()->Picture()));
  }

  void ticksDrawTheBattle() {
    MainWindow frm(true);
    QVERIFY(Shown(frm));
    frm.tmr().stop();
    frm.battle().surface().TakeDirty();
    frm.battle().Press(kButtonLeft, 400, 300, 800, 600);
    frm.Tick();
    frm.Tick();
    QVERIFY(AnyLit(frm.pct()->Picture()));
    QVERIFY(frm.battle().surface().TakeDirty().empty());  // handed to the widget
    QCOMPARE(frm.battle().stats()->ticks(), 2u);
  }

  void statsFormat() {
    Histogram h(100.0);
    QCOMPARE(h.Quantile(0.5), 0.0);
    for (int i = 1; i <= 100; ++i) {
      h.Add(i * 0.5);  // 0.5 .. 50.0
    }
    h.Add(1234.56);  // beyond the bins: counted, kept as the maximum
    QCOMPARE(h.Count(), 101u);
    QCOMPARE(FormatOneDecimal(h.Quantile(0.5)), std::string("25.5"));
    QCOMPARE(FormatOneDecimal(h.Quantile(0.99)), std::string("50.0"));
    QCOMPARE(FormatOneDecimal(h.Quantile(1.0)), std::string("1234.6"));
    QCOMPARE(FormatOneDecimal(h.Max()), std::string("1234.6"));
    QCOMPARE(FormatOneDecimal(0.04), std::string("0.0"));
    QCOMPARE(FormatOneDecimal(39.95), std::string("40.0"));

    TickStats stats;
    stats.Record(0, false, 120.0);
    stats.Record(40.02, true, 80.5);
    stats.Record(41.5, true, 95.0);
    QCOMPARE(stats.Report(), std::string("ticks 3\n"
                                         "interval_ms median 40.0 p99 41.5 max 41.5\n"
                                         "tick_us median 95.0 max 120.0\n"));
  }

 private:
  static void CheckFitted(MainWindow& frm) {
    const QSize outer = frm.frameGeometry().size();
    QCOMPARE(frm.pct()->geometry(), QRect(8, 8, outer.width() - 23, outer.height() - 43));
    const QSize inner(outer.width() - 27, outer.height() - 47);
    QCOMPARE(QSize(frm.battle().surface().width(), frm.battle().surface().height()), inner);
    QCOMPARE(frm.pct()->Picture().size(), inner);
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
