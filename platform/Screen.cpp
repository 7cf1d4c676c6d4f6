#include "platform/Screen.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <map>

namespace {
const QScreen* PrimaryScreen() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen()
                                                                      : nullptr;
}
}  // namespace

int ScreenPixelsPerInch() {
  const QScreen* screen = PrimaryScreen();
  if (screen == nullptr) return 96;
  const int ppi = static_cast<int>(std::lround(screen->logicalDotsPerInch()));
  return ppi > 0 ? ppi : 96;
}

int ScreenWidthPixels() {
  const QScreen* screen = PrimaryScreen();
  return screen != nullptr ? screen->geometry().width() : 1024;
}

int ScreenHeightPixels() {
  const QScreen* screen = PrimaryScreen();
  return screen != nullptr ? screen->geometry().height() : 768;
}

double ScreenWidthMillimetres() {
  const QScreen* screen = PrimaryScreen();
  return screen != nullptr ? screen->physicalSize().width() : ScreenWidthPixels() * 25.4 / 96.0;
}

double ScreenHeightMillimetres() {
  const QScreen* screen = PrimaryScreen();
  return screen != nullptr ? screen->physicalSize().height() : ScreenHeightPixels() * 25.4 / 96.0;
}

namespace {
std::optional<bool> windowsSeen;
}  // namespace

bool WindowsCanBeSeen() {
  if (windowsSeen) return *windowsSeen;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return false;
  const QString platform = QGuiApplication::platformName();
  return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void SetWindowsCanBeSeen(std::optional<bool> seen) { windowsSeen = seen; }

void RegisterFontSubstitutions() {
  const QString sans = QStringLiteral("Liberation Sans");
  QFont::insertSubstitution(QStringLiteral("Arial"), sans);
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
  QFont::insertSubstitution(QStringLiteral("System"), sans);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
}

namespace {
std::map<TCursor, QCursor>& RegisteredCursors() {
  static std::map<TCursor, QCursor> cursors;
  return cursors;
}
}  // namespace

QCursor ScreenCursor(TCursor number) {
  switch (number) {
    case crCross: return QCursor(Qt::CrossCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crHSplit: return QCursor(Qt::SplitHCursor);
    case crVSplit: return QCursor(Qt::SplitVCursor);
    // The data layer's wait: the program still answers, as the desktop's busy pointer says.
    case crSQLWait: return QCursor(Qt::BusyCursor);
    default: break;
  }
  const auto& cursors = RegisteredCursors();
  const auto found = cursors.find(number);
  return found != cursors.end() ? found->second : QCursor(Qt::ArrowCursor);
}

void SetScreenCursor(TCursor number, const QCursor& cursor) {
  if (number >= 1) RegisteredCursors()[number] = cursor;
}
