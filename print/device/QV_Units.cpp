#include "print/device/QV_Units.h"

#include "platform/Printers.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"

#include <cmath>
#include <limits>

namespace {
bool centimetres = false;

constexpr double LargestLength = 35000.0;

double UnitDivisor() { return centimetres ? 2.54 : 1.0; }

int Resolution(bool vertical) { return vertical ? Printer().ResolutionY() : Printer().ResolutionX(); }

// Every caller's value fits an int once it passed the range checks, but a rounded double is clamped anyway
// so that no input can make the conversion undefined.
int ToInt(double value) {
  if (!(value > std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
  if (!(value < std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(RoundHalfEven(value));
}

int ScreenToDevice(int value, bool vertical) {
  const double magnitude = std::fabs(static_cast<double>(value));
  return ToInt(magnitude * Resolution(vertical) / ScreenPixelsPerInch());
}

int Offset(int position, int amount, bool vertical) {
  if (IsTextOnlyPrinter()) return position;
  const double step =
      static_cast<double>(RoundHalfEven(Resolution(vertical) * static_cast<double>(amount) / 300.0));
  return ToInt(position + step);
}
}  // namespace

void SetUnits(bool useCentimetres) { centimetres = useCentimetres; }

bool UnitsAreCentimetres() { return centimetres; }

double ToDeviceF(bool vertical, double value) {
  // Written so that NaN falls out as well.
  if (!(value >= 0.0 && value <= LargestLength)) return 0.0;
  return value * Resolution(vertical) / UnitDivisor();
}

int ToDevice(bool vertical, double value) { return ToInt(ToDeviceF(vertical, value)); }

double FromDevice(int pixels, bool vertical) {
  const int resolution = Resolution(vertical);
  if (resolution <= 0) return 0.0;
  const double result = pixels * UnitDivisor() / resolution;
  return result < 0.0 ? 0.0 : result;
}

int ScreenToDeviceX(int value) { return ScreenToDevice(value, false); }
int ScreenToDeviceY(int value) { return ScreenToDevice(value, true); }

int OffsetX(int position, int amount) { return Offset(position, amount, false); }
int OffsetY(int position, int amount) { return Offset(position, amount, true); }

bool IsTextOnlyPrinter() { return Printer().PrinterName().left(7) == QLatin1String("Generic"); }
