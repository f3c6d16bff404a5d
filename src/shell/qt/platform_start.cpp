#include "shell/qt/platform_start.h"

#include <QString>
#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kelvarin {
namespace {

// What went on while the platform started, as Qt's messages told it.
struct Start {
  bool starting = false;
  std::string x11Display;            // the X11 display Qt is asked to use
  std::vector<std::string> missing;  // platform plugins not installed
  std::vector<std::string> failed;   // installed ones that could not start
  std::string installed;             // the plugins Qt lists as installed
};
Start gStart;

// The quoted name in Qt's 'Could not find the Qt platform plugin "NAME" ...'.
std::string QuotedName(std::string_view message) {
  const std::size_t open = message.find('"');
  const std::size_t close = open == std::string_view::npos ? open : message.find('"', open + 1);
  if (close == std::string_view::npos) {
    return {};
  }
  return std::string(message.substr(open + 1, close - open - 1));
}

void Note(std::string_view category, std::string_view message) {
  if (category == "qt.qpa.plugin") {
    const std::string name = QuotedName(message);
    if (name.empty()) {
      return;
    }
    if (message.starts_with("Could not find the Qt platform plugin")) {
      gStart.missing.push_back(name);
    } else if (message.starts_with("Could not load the Qt platform plugin")) {
      gStart.failed.push_back(name);
    }
    return;
  }
  constexpr std::string_view kInstalled = "Available platform plugins are: ";
  const std::size_t at = message.find(kInstalled);
  if (at != std::string_view::npos) {
    std::string_view list = message.substr(at + kInstalled.size());
    while (!list.empty() && (list.back() == '.' || list.back() == '\n' || list.back() == ' ')) {
      list.remove_suffix(1);
    }
    gStart.installed = list;
  }
}

std::string Join(const std::vector<std::string>& names, const char* separator) {
  std::string text;
  for (const std::string& name : names) {
    text += text.empty() ? "" : separator;
    text += name;
  }
  return text;
}

// Where a platform that could not start looked for its display.
std::string DisplayOf(const std::string& platform) {
  if (platform == "xcb") {
    return gStart.x11Display.empty() ? "X11, with DISPLAY not set"
                                     : "X11 display \"" + gStart.x11Display + '"';
  }
  if (platform.starts_with("wayland")) {
    const char* display = std::getenv("WAYLAND_DISPLAY");
    return display != nullptr && display[0] != '\0'
               ? "Wayland display \"" + std::string(display) + '"'
               : "Wayland, with WAYLAND_DISPLAY not set";
  }
  return "platform \"" + platform + '"';
}

std::string FailureLine() {
  std::string line = "kelvarin: cannot open a window: ";
  if (!gStart.missing.empty()) {
    line += "the Qt platform plugin \"" + Join(gStart.missing, "\", \"") + "\" is not installed";
    line += "; install it, or choose an installed one with QT_QPA_PLATFORM";
    if (!gStart.installed.empty()) {
      line += " (" + gStart.installed + ')';
    }
    return line;
  }
  if (gStart.failed.empty()) {
    line += "Qt's platform could not start";
  } else {
    std::vector<std::string> displays;
    for (const std::string& platform : gStart.failed) {
      displays.push_back(DisplayOf(platform));
    }
    line += "no display could be opened (" + Join(displays, "; ") + ')';
  }
  return line + "; run it in a desktop session, or under a virtual display: xvfb-run -a kelvarin";
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (gStart.starting) {
    Note(context.category != nullptr ? context.category : "", message.toStdString());
  }
  if (type != QtFatalMsg) {
    return;
  }
  if (gStart.starting) {
    std::fprintf(stderr, "%s\n", FailureLine().c_str());
    std::fflush(stderr);
    std::_Exit(1);
  }
  std::fprintf(stderr, "kelvarin: %s\n", qPrintable(message));
}

}  // namespace

void QuietQtMessages(const std::vector<std::string_view>& qtArguments) {
  const char* display = std::getenv("DISPLAY");
  gStart.x11Display = display != nullptr ? display : "";
  for (std::size_t i = 0; i + 1 < qtArguments.size(); ++i) {
    if (qtArguments[i] == "-display") {
      gStart.x11Display = qtArguments[i + 1];
    }
  }
  gStart.starting = true;
  qInstallMessageHandler(Handle);
}

void PlatformStarted() { gStart.starting = false; }

}  // namespace kelvarin
