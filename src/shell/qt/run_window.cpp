#include "shell/qt/run_window.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QSocketNotifier>
#include <iostream>
#include <string_view>

#include "app/tick_clock.h"
#include "shell/posix/quit_signals.h"
#include "shell/qt/main_window.h"
#include "shell/qt/platform_start.h"

namespace kelvarin {

namespace {

// On X11, full screen is the monitor under the pointer, as a game that fills
// the screen does: the window is placed on it before it is shown, and the
// window manager fills the monitor the window is on. Elsewhere (Wayland,
// where a client cannot read the pointer) the platform chooses.
void PlaceOnPointerScreen(QWidget& window) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    return;
  }
  QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
  if (screen == nullptr) {
    return;
  }
  window.setScreen(screen);
  window.move(screen->geometry().topLeft());
}

}  // namespace

void QuitOnCaughtSignals(QCoreApplication& app) {
  if (QuitSignalPipe() < 0) {
    return;
  }
  auto* notifier = new QSocketNotifier(QuitSignalPipe(), QSocketNotifier::Read, &app);
  QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, notifier] {
    TakeQuitSignals();
    notifier->setEnabled(false);
    app.exit(0);
  });
}

std::optional<int> RunWindow(std::vector<char*> qtArguments, bool fullscreen, bool collectStats) {
  std::vector<std::string_view> qtOptions(qtArguments.begin() + 1, qtArguments.end());
  QuietQtMessages(qtOptions);
  int qtArgc = static_cast<int>(qtArguments.size());
  qtArguments.push_back(nullptr);
  QApplication app(qtArgc, qtArguments.data());
  PlatformStarted();
  if (qtArgc > 1) {
    // Qt took its own options out; whatever is left is not understood.
    return std::nullopt;
  }
  QuitOnCaughtSignals(app);

  MainWindow frm(collectStats);
  if (fullscreen) {
    frm.UseWholeWindow();
    frm.battle().StartAmbient(SecondsSinceMidnight());
    PlaceOnPointerScreen(frm);
    frm.showFullScreen();
  } else {
    frm.show();
  }
  const int status = app.exec();
  if (frm.battle().stats() != nullptr) {
    std::cerr << frm.battle().stats()->Report();
  }
  return status;
}

}  // namespace kelvarin
