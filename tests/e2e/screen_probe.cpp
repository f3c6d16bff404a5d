// Sorts the pixels of a rectangle of a screenshot by the colours the battle
// can draw, for the real-window test:
//   screen_probe FILE X Y W H
// prints one line: black N green N team N grey N particle N foreign N
// where green is team 1's colour (50, 255, 50), team counts every team colour,
// grey is a ship's flanks (150, 150, 150), particle a shot or debris colour
// (R 150..200, G 0..100, B 0) and foreign anything the battle never draws.
// The rectangle is clipped to the picture.
//
//   screen_probe FILE --surface X Y W H
// finds the drawing surface inside the window's client area at X Y W H: the
// bounding box of everything that differs from the client's own background
// (taken at its top-left corner), less the 2-pixel border. Prints "X Y W H",
// or nothing when there is no such box.
//
//   screen_probe FILE --blocks X Y W H
// prints "lit N split N": the pixels of the rectangle that are not black, and
// those of them whose 2 x 2 block (blocks aligned on X Y) is not wholly lit.
//
//   screen_probe FILE --centre X Y W H
// prints "X Y N": the centre of the pixels of the rectangle that are not
// black (screen coordinates, to a tenth) and how many there are.
//
// FILE "screen" grabs the rectangle from the screen of $DISPLAY instead,
// which is much quicker than a screenshot of a large screen.

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool Lit(QRgb pixel) { return (pixel & 0xFFFFFF) != 0; }

// `origin` is where the image's top-left pixel is on the screen.
int FindSurface(const QImage& image, const QRect& client, QPoint origin) {
  const QRgb background = image.pixel(client.topLeft() + QPoint(2, 2));
  QRect box;
  for (int y = client.top(); y <= client.bottom(); ++y) {
    for (int x = client.left(); x <= client.right(); ++x) {
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    }
  }
  const QRect inner = box.adjusted(2, 2, -2, -2).translated(origin);
  if (inner.isValid()) {
    std::printf("%d %d %d %d\n", inner.x(), inner.y(), inner.width(), inner.height());
  }
  return 0;
}

int Blocks(const QImage& image, const QRect& area) {
  long lit = 0, split = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!Lit(image.pixel(x, y))) continue;
      ++lit;
      const int bx = area.left() + (x - area.left()) / 2 * 2;
      const int by = area.top() + (y - area.top()) / 2 * 2;
      const bool whole = QRect(bx, by, 2, 2) == (QRect(bx, by, 2, 2) & area) &&
                         Lit(image.pixel(bx, by)) && Lit(image.pixel(bx + 1, by)) &&
                         Lit(image.pixel(bx, by + 1)) && Lit(image.pixel(bx + 1, by + 1));
      if (!whole) ++split;
    }
  }
  std::printf("lit %ld split %ld\n", lit, split);
  return 0;
}

int Centre(const QImage& image, const QRect& area, QPoint origin) {
  double sx = 0, sy = 0;
  long n = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (Lit(image.pixel(x, y))) {
        sx += x;
        sy += y;
        ++n;
      }
    }
  }
  if (n == 0) {
    std::printf("0 0 0\n");
  } else {
    std::printf("%.1f %.1f %ld\n", sx / n + origin.x(), sy / n + origin.y(), n);
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const char* mode = argc == 7 ? argv[2] : "";
  const bool known = argc == 6 || std::strcmp(mode, "--surface") == 0 ||
                     std::strcmp(mode, "--blocks") == 0 || std::strcmp(mode, "--centre") == 0;
  if (!known) {
    std::fprintf(stderr, "usage: screen_probe FILE|screen [--surface|--blocks|--centre] X Y W H\n");
    return 2;
  }
  char** numbers = argv + (argc == 7 ? 3 : 2);
  QRect area(std::atoi(numbers[0]), std::atoi(numbers[1]), std::atoi(numbers[2]),
             std::atoi(numbers[3]));
  QImage image;
  QPoint origin;
  if (std::strcmp(argv[1], "screen") == 0) {
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    // Qt takes the position from the screen's own corner, which on a display
    // of several monitors need not be the root window's.
    QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint at = area.topLeft() - screen->geometry().topLeft();
    image = screen->grabWindow(0, at.x(), at.y(), area.width(), area.height()).toImage();
    origin = area.topLeft();
    area.moveTo(0, 0);
  } else if (!image.load(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "screen_probe: cannot read %s\n", argv[1]);
    return 1;
  }
  image = image.convertToFormat(QImage::Format_RGB32);
  area &= image.rect();
  if (std::strcmp(mode, "--surface") == 0) return FindSurface(image, area, origin);
  if (std::strcmp(mode, "--blocks") == 0) return Blocks(image, area);
  if (std::strcmp(mode, "--centre") == 0) return Centre(image, area, origin);

  long black = 0, green = 0, team = 0, grey = 0, particle = 0, foreign = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = area.left(); x <= area.right(); ++x) {
      const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
      if (r == 0 && g == 0 && b == 0) {
        ++black;
      } else if (r == 50 && g == 255 && b == 50) {
        ++green;
        ++team;
      } else if ((r == 255 && g == 50 && b == 50) || (r == 50 && g == 50 && b == 255)) {
        ++team;
      } else if (r == 150 && g == 150 && b == 150) {
        ++grey;
      } else if (b == 0 && r >= 150 && r <= 200 && g <= 100) {
        ++particle;
      } else {
        ++foreign;
      }
    }
  }
  std::printf("black %ld green %ld team %ld grey %ld particle %ld foreign %ld\n", black, green,
              team, grey, particle, foreign);
  return 0;
}
