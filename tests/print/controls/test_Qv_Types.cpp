#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "print/controls/Qv_Types.h"
#include "tests/print/controls/ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(TitledContainer, AlignedChildrenStartBelowTheTitleBarAtY19) {
  TForm form;
  auto* container = new TQVCustom(&form);
  container->SetBounds(0, 0, 200, 150);
  EXPECT_EQ(container->ClientRect(), QRect(0, 19, 200, 131));
  auto* top = new TEdit(container);
  top->SetBounds(5, 0, 50, 24);
  top->SetAlign(alTop);
  auto* rest = new TEdit(container);
  rest->SetAlign(alClient);
  EXPECT_EQ(top->geometry(), QRect(0, 19, 200, 24));
  EXPECT_EQ(rest->geometry(), QRect(0, 43, 200, 107));
  EXPECT_EQ(container->TitleBarHeight(), 20);
}

TEST(TitledContainer, PaintsATitleStripWithItsNameABevelAndAnArrow) {
  TForm form;
  auto* container = new TQVCustom(&form);
  container->SetName(QStringLiteral("Addressee"));
  container->SetColor(clWhite);
  container->SetBevelOuter(bvNone);
  container->SetBounds(0, 0, 160, 80);
  const QImage image = Painted(*container, Qt::green);
  const QRgb silver = ToQColor(clSilver).rgb();
  const QRgb grey = qRgb(0x80, 0x80, 0x80);
  EXPECT_EQ(image.pixel(120, 10), silver) << "the strip";
  EXPECT_EQ(image.pixel(120, 1), qRgb(255, 255, 255)) << "bevel, top";
  EXPECT_EQ(image.pixel(159, 10), grey) << "bevel, right, over the strip's outline";
  EXPECT_EQ(image.pixel(120, 18), grey) << "bevel, bottom";
  EXPECT_EQ(image.pixel(8, 13), qRgb(0, 0, 0)) << "the arrow's shaft";
  EXPECT_EQ(image.pixel(8, 14), silver) << "the arrow ends above its end point";
  const QRect name = ColourBounds(image.copy(14, 2, 100, 16), Qt::black, 60);
  EXPECT_FALSE(name.isNull()) << "the control's name in the strip";
  EXPECT_EQ(image.pixel(80, 50), qRgb(255, 255, 255)) << "the client area in the control's colour";
}

}  // namespace
