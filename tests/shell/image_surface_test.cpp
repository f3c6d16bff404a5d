#include "shell/image_surface.h"

#include <QElapsedTimer>
#include <QtTest>

using kelvarin::ImageSurface;
using kelvarin::Rgb;

namespace {

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{200, 10, 20};

int LitPixels(const QImage& image, QRect* bounds = nullptr) {
  int lit = 0;
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((row[x] & 0xFFFFFF) != 0) {
        ++lit;
        box |= QRect(x, y, 1, 1);
      }
    }
  }
  if (bounds != nullptr) {
    *bounds = box;
  }
  return lit;
}

}  // namespace

class ImageSurfaceTest : public QObject {
  Q_OBJECT

 private slots:
  void startsBlackAndResizeClears() {
    ImageSurface surface(120, 80);
    QCOMPARE(surface.image().format(), QImage::Format_RGB32);
    QCOMPARE(surface.image().size(), QSize(120, 80));
    QCOMPARE(LitPixels(surface.image()), 0);
    surface.Line(0, 0, 800, 600, kWhite);
    QVERIFY(LitPixels(surface.image()) > 0);
    surface.Resize(0, -5);  // never below one pixel
    QCOMPARE(surface.image().size(), QSize(1, 1));
    surface.Resize(64, 48);
    QCOMPARE(LitPixels(surface.image()), 0);
  }

  void drawingAgainInBlackErases() {
    // Not 4:3, so the two scales differ.
    ImageSurface surface(331, 127);
    const float lines[][4] = {{10, 10, 790, 590},   {400.5F, 3.25F, 12.75F, 580},
                              {0, 300, 800, 300},   {123.4F, 0, 123.4F, 600},
                              {-50, 700, 850, -80}, {400, 300, 400.2F, 300.1F}};
    for (const auto& l : lines) {
      surface.Line(l[0], l[1], l[2], l[3], kRed);
    }
    surface.Circle(400, 300, 37.5F, kWhite);
    surface.Circle(795, 5, 8, kWhite);
    QVERIFY(LitPixels(surface.image()) > 0);
    for (const auto& l : lines) {
      surface.Line(l[0], l[1], l[2], l[3], Rgb{0, 0, 0});
    }
    surface.Circle(400, 300, 37.5F, Rgb{0, 0, 0});
    surface.Circle(795, 5, 8, Rgb{0, 0, 0});
    QCOMPARE(LitPixels(surface.image()), 0);
  }

  void mapsLogicalUnitsToPixels() {
    ImageSurface surface(160, 100);
    surface.Line(400, 300, 400, 300, kWhite);  // a point at the centre
    QRect box;
    QCOMPARE(LitPixels(surface.image(), &box), 1);
    QVERIFY(qAbs(box.x() - 80) <= 1);
    QVERIFY(qAbs(box.y() - 50) <= 1);

    // A circle is round in pixels, its radius in horizontal units: 100 units
    // across 160 pixels is 20 pixels.
    surface.Cls();
    surface.Circle(400, 300, 100, kWhite);
    QVERIFY(LitPixels(surface.image(), &box) > 0);
    QCOMPARE(surface.image().pixel(80, 50) & 0xFFFFFFU, 0U);  // an outline, not a disc
    QVERIFY2(qAbs(box.width() - 41) <= 1, qPrintable(QString::number(box.width())));
    QVERIFY2(qAbs(box.height() - 41) <= 1, qPrintable(QString::number(box.height())));
  }

  void hugeAndInvalidCoordinatesClipQuickly() {
    ImageSurface surface(200, 150);
    QElapsedTimer timer;
    timer.start();
    surface.Line(-100000, 300, 100000, 300, kWhite);  // crosses the whole image
    QRect box;
    QCOMPARE(LitPixels(surface.image(), &box), 200);
    QCOMPARE(box, QRect(0, 75, 200, 1));

    surface.Cls();
    surface.Line(1e30F, -1e30F, -1e30F, 1e30F, kWhite);
    surface.Line(1e5F, 1e5F, 2e5F, 2e5F, kWhite);  // wholly outside
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    surface.Line(nan, 0, 100, 100, kWhite);
    surface.Line(0, 0, inf, 100, kWhite);
    surface.Circle(nan, 300, 10, kWhite);
    surface.Circle(400, 300, inf, kWhite);
    surface.Circle(400, 300, 1e30F, kWhite);   // the image lies inside it
    surface.Circle(1e5F, 300, 10, kWhite);     // far away
    surface.Circle(-1e5F, 300, 1e5F, kWhite);  // huge, its edge at x = 0
    surface.Circle(400, 300, -10, kWhite);
    QVERIFY2(timer.elapsed() < 2000, "clipping took too long");
    // Nothing was drawn outside the image (it cannot be) and it still works.
    surface.Cls();
    surface.Line(0, 0, 800, 600, kWhite);
    QVERIFY(LitPixels(surface.image()) >= 150);
  }

  void dirtyRectCoversWhatWasDrawn() {
    ImageSurface surface(300, 200);
    QCOMPARE(surface.TakeDirty(), surface.image().rect());  // new picture
    QVERIFY(surface.TakeDirty().isEmpty());

    surface.Line(100, 100, 300, 250, kWhite);
    surface.Circle(600, 450, 40, kRed);
    const QRect dirty = surface.TakeDirty();
    QRect lit;
    LitPixels(surface.image(), &lit);
    QVERIFY(!lit.isEmpty());
    QVERIFY2(dirty.contains(lit), "dirty rect misses drawn pixels");
    QVERIFY(surface.image().rect().contains(dirty));
    QVERIFY(dirty.width() < 300);  // only the touched part
    QVERIFY(surface.TakeDirty().isEmpty());

    // Drawing wholly outside leaves nothing to repaint.
    surface.Line(-500, -500, -100, -10, kWhite);
    QVERIFY(surface.TakeDirty().isEmpty());
    // Partly outside: clipped to the image.
    surface.Line(-500, 10, 900, 10, kWhite);
    const QRect partly = surface.TakeDirty();
    QVERIFY(!partly.isEmpty());
    QVERIFY(surface.image().rect().contains(partly));
    surface.Cls();
    QCOMPARE(surface.TakeDirty(), surface.image().rect());
  }
};

QTEST_MAIN(ImageSurfaceTest)
#include "image_surface_test.moc"
