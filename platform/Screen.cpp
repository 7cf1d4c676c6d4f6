#include "platform/Screen.h"

#include <QFont>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

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

void RegisterFontSubstitutions() {
  const QString sans = QStringLiteral("Liberation Sans");
  QFont::insertSubstitution(QStringLiteral("Arial"), sans);
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
  QFont::insertSubstitution(QStringLiteral("System"), sans);
  QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
  QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
}
