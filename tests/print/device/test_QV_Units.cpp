#include "print/device/QV_Units.h"
#include "tests/print/device/PageTestSupport.h"

#include <limits>
#include <gtest/gtest.h>

namespace {

class UnitsTest : public ::testing::Test {
protected:
  void SetUp() override { UseTestPrinter({TPrinter::PdfPrinterName()}, 0, 600); }
  void TearDown() override { SetUnits(false); }
};

TEST_F(UnitsTest, LengthsConvertInInchesAndCentimetresAndOutOfRangeGivesZero) {
  EXPECT_EQ(ToDevice(false, 1.0), 600);
  EXPECT_EQ(ToDevice(true, 0.5), 300);
  EXPECT_EQ(ToDevice(false, 1.0 / 240), 2) << "2.5 goes to the even 2";
  EXPECT_EQ(ToDevice(false, 7.0 / 1200), 4) << "3.5 goes to the even 4";
  EXPECT_EQ(ToDevice(false, 35000.0), 21000000);
  for (double outside : {35000.5, -0.1, std::numeric_limits<double>::quiet_NaN()}) {
    EXPECT_EQ(ToDevice(false, outside), 0);
    EXPECT_EQ(ToDeviceF(true, outside), 0.0);
  }
  EXPECT_EQ(FromDevice(-5, false), 0.0);
  SetUnits(true);
  EXPECT_EQ(ToDevice(false, 1.0), 236);
  EXPECT_DOUBLE_EQ(FromDevice(600, false), 2.54);
}

TEST_F(UnitsTest, ScreenPixelsScaleByResolutionAndDropTheirSign) {
  UseTestPrinter({TPrinter::PdfPrinterName()}, 0, 300);
  EXPECT_EQ(ScreenToDeviceX(-96), 300);
  EXPECT_EQ(ScreenToDeviceY(4), 12) << "12.5 goes to 12";
  EXPECT_EQ(ScreenToDeviceY(12), 38) << "37.5 goes to 38";
  EXPECT_GT(ScreenToDeviceX(std::numeric_limits<int>::min()), 0);
}

TEST_F(UnitsTest, OffsetsAreIn300thsOfAnInchExceptOnPrintersNamedGeneric) {
  EXPECT_EQ(OffsetX(100, -10), 80);
  EXPECT_EQ(OffsetY(100, 20), 140);
  UseTestPrinter({QStringLiteral("Generic / Text Only")}, 0, 600);
  EXPECT_TRUE(IsTextOnlyPrinter());
  EXPECT_EQ(OffsetX(100, -10), 100);
  EXPECT_EQ(OffsetY(100, 20), 100);
  UseTestPrinter({QStringLiteral("generic printer"), QStringLiteral("Generi")}, 0, 600);
  EXPECT_FALSE(IsTextOnlyPrinter()) << "the comparison is case-sensitive";
  EXPECT_EQ(OffsetX(100, -10), 80);
  Printer().SetPrinterIndex(1);
  EXPECT_FALSE(IsTextOnlyPrinter()) << "all seven characters must match";
}

}  // namespace
