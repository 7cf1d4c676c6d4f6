#include "tests/support/TestSupport.h"

#include <stdexcept>

ScratchDirectory::ScratchDirectory() {
  if (!directory_.isValid()) throw std::runtime_error("cannot create a scratch directory");
}

#include <QDesktopServices>

LaunchedLinks::LaunchedLinks(const QStringList& schemes) : schemes_(schemes) {
  for (const QString& scheme : schemes_) QDesktopServices::setUrlHandler(scheme, this, "Open");
}

LaunchedLinks::~LaunchedLinks() {
  for (const QString& scheme : schemes_) QDesktopServices::unsetUrlHandler(scheme);
}
