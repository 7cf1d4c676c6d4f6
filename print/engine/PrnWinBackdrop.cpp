// The measuring backdrop: rulers along the edges of the printable page, to check a layout against.
#include "print/engine/PrnWin.h"

#include "platform/SysUtils.h"
#include "print/device/QV_Gdi.h"
#include "print/device/QV_Units.h"

namespace {
int X(double value) { return ToDevice(false, value); }
int Y(double value) { return ToDevice(true, value); }
}  // namespace

void TPrintWin::DrawBackdrop() {
  TGdi& device = *pageDevice_;
  device.SetFont(QStringLiteral("Arial"), static_cast<int>(RoundHalfEven(12 * LineSpacing)));
  const bool centimetres = GridBackDropUnits == poCentimetres;
  SetUnits(centimetres);
  // Ticks keep one physical length in both units: a quarter inch deep band, sixteenth and eighth ticks.
  const double base = centimetres ? 2.54 : 1.0;
  const double band = base / 4;
  const double width = FromDevice(Printer().PageWidth(), false);
  const double height = FromDevice(Printer().PageHeight(), true);

  const auto frame = [&device](double left, double top, double right, double bottom) {
    device.FrameBox(X(left), Y(top), X(right), Y(bottom), 2, 2, 2, 2);
  };
  frame(0, 0, width, height);
  frame(0, 0, width, band);
  frame(0, height - band, width, height);
  frame(0, 0, band, height);
  frame(width - band, 0, width, height);

  const auto vertical = [&device](double x, double from, double to) {
    device.Line(X(x), Y(from), X(x), Y(to));
  };
  const auto horizontal = [&device](double y, double from, double to) {
    device.Line(X(from), Y(y), X(to), Y(y));
  };

  const int columns = static_cast<int>(RoundHalfEven(width));
  for (int unit = 0; unit < columns; ++unit) {
    if (unit > 0) device.TextAt(X(unit + 0.05), Y(0.1), QString::number(unit));
    vertical(unit, 0, band);
    vertical(unit + 0.25, 3 * base / 16, band);
    vertical(unit + 0.75, 3 * base / 16, band);
    vertical(unit + 0.5, base / 8, band);
  }

  const int rows = static_cast<int>(RoundHalfEven(height));
  for (int unit = 0; unit < rows; ++unit) {
    if (unit > 0) {
      device.TextAt(X(0.05 * base), Y(unit), QString::number(unit));
      device.TextAt(X(width - 0.2 * base), Y(unit), QString::number(unit));
    }
    horizontal(unit, 0, band);
    horizontal(unit + 0.25, 3 * base / 16, band);
    horizontal(unit + 0.75, 3 * base / 16, band);
    horizontal(unit + 0.5, base / 8, band);

    const double inner = width - band;
    horizontal(unit, inner, width);
    horizontal(unit + 0.25, inner, inner + base / 16);
    horizontal(unit + 0.75, inner, inner + base / 16);
    horizontal(unit + 0.5, inner, inner + base / 8);
  }
  SetUnits(Units == poCentimetres);
}
