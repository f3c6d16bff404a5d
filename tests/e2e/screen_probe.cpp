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

#include <QImage>
#include <QRect>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int FindSurface(const QImage& image, const QRect& client) {
  const QRgb background = image.pixel(client.topLeft() + QPoint(2, 2));
  QRect box;
  for (int y = client.top(); y <= client.bottom(); ++y) {
    for (int x = client.left(); x <= client.right(); ++x) {
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    }
  }
  const QRect inner = box.adjusted(2, 2, -2, -2);
  if (inner.isValid()) {
    std::printf("%d %d %d %d\n", inner.x(), inner.y(), inner.width(), inner.height());
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const bool surface = argc == 7 && std::strcmp(argv[2], "--surface") == 0;
  if (argc != 6 && !surface) {
    std::fprintf(stderr, "usage: screen_probe FILE [--surface] X Y W H\n");
    return 2;
  }
  QImage image;
  if (!image.load(QString::fromLocal8Bit(argv[1]))) {
    std::fprintf(stderr, "screen_probe: cannot read %s\n", argv[1]);
    return 1;
  }
  image = image.convertToFormat(QImage::Format_RGB32);
  char** numbers = argv + (surface ? 3 : 2);
  const QRect area = QRect(std::atoi(numbers[0]), std::atoi(numbers[1]), std::atoi(numbers[2]),
                           std::atoi(numbers[3])) &
                     image.rect();
  if (surface) return FindSurface(image, area);

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
