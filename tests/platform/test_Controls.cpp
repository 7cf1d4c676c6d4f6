#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(Controls, VisibleIsTheControlsOwnFlagEvenOnANeverShownForm) {
  TForm form;
  auto* label = new TLabel(&form);
  auto* hidden = new TLabel(&form);
  hidden->SetVisible(false);
  EXPECT_FALSE(label->isVisible()) << "Qt's visibility needs a shown form";
  EXPECT_TRUE(label->Visible());
  EXPECT_FALSE(hidden->Visible());
}

TEST(Controls, RendererFindsEveryControlInCreationOrder) {
  TForm form;
  auto* panel = new TPanel(&form);
  QList<TControl*> created = {new TLabel(panel), new TShape(panel), new TEdit(panel),  new TImage(panel),
                              new TMemo(panel),  new TBevel(panel), new TButton(panel)};
  QList<TControl*> found;
  for (QObject* child : panel->children()) {
    if (auto* control = dynamic_cast<TControl*>(child)) found.append(control);
  }
  EXPECT_EQ(found, created);
  EXPECT_NE(dynamic_cast<TControl*>(static_cast<QWidget*>(&form)), nullptr);
}

TEST(Controls, FontFollowsTheParentUntilTheControlHasItsOwn) {
  TForm form;
  form.SetFont(MakeFont(QStringLiteral("Arial"), -16, fsBold));
  auto* panel = new TPanel(&form);
  auto* label = new TLabel(panel);
  EXPECT_TRUE(label->ParentFont());
  EXPECT_EQ(label->Font(), form.Font());
  EXPECT_EQ(label->font().pixelSize(), 16);

  const TFont panelFont = MakeFont(QStringLiteral("Courier New"), -19, 0, clNavy);
  panel->SetFont(panelFont);
  EXPECT_EQ(label->Font(), panelFont);
  EXPECT_EQ(label->font().pixelSize(), 19);
  EXPECT_EQ(label->palette().color(QPalette::WindowText), ToQColor(clNavy));

  const TFont own = MakeFont(QStringLiteral("Arial"), -27);
  label->SetFont(own);
  EXPECT_FALSE(label->ParentFont());
  panel->SetFont(form.Font());
  EXPECT_EQ(label->Font(), own);
  EXPECT_EQ(label->font().pixelSize(), 27);

  label->SetParentFont(true);
  EXPECT_EQ(label->Font(), form.Font());
  EXPECT_EQ(label->font().pixelSize(), 16);
}

TEST(Controls, ColorFollowsTheParentOnlyWhileParentColorIsSet) {
  TForm form;
  auto* panel = new TPanel(&form);
  panel->SetColor(clWhite);
  auto* label = new TLabel(panel);
  EXPECT_TRUE(label->ParentColor());
  EXPECT_EQ(label->Color(), clWhite);
  label->SetColor(clYellow);
  EXPECT_FALSE(label->ParentColor());
  panel->SetColor(clSilver);
  EXPECT_EQ(label->Color(), clYellow);
  EXPECT_FALSE(panel->ParentColor()) << "a panel has a colour of its own";
}

TEST(Controls, AlignedControlsShareTheContainersAlignRectInTheFrameworksOrder) {
  TForm form;
  auto* panel = new TPanel(&form);
  panel->SetBevelOuter(bvRaised);
  panel->SetBevelWidth(2);
  panel->SetBounds(0, 0, 200, 120);  // inside the 2-pixel bevel: (2, 2) to (198, 118)
  const auto make = [panel](TAlign align, const QRect& bounds) {
    auto* control = new TPanel(panel);
    control->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    control->SetAlign(align);
    return control;
  };
  TPanel* lowerTop = make(alTop, QRect(0, 50, 10, 20));
  TPanel* upperTop = make(alTop, QRect(0, 0, 10, 10));  // above the other's new top (2)
  TPanel* bottom = make(alBottom, QRect(0, 0, 10, 16));
  TPanel* left = make(alLeft, QRect(0, 0, 30, 10));
  TPanel* right = make(alRight, QRect(0, 0, 40, 10));
  TPanel* client = make(alClient, QRect(0, 0, 1, 1));
  TPanel* free = make(alNone, QRect(7, 8, 9, 10));

  EXPECT_EQ(upperTop->geometry(), QRect(2, 2, 196, 10)) << "top controls stack in the order of their tops";
  EXPECT_EQ(lowerTop->geometry(), QRect(2, 12, 196, 20));
  EXPECT_EQ(bottom->geometry(), QRect(2, 102, 196, 16));
  EXPECT_EQ(left->geometry(), QRect(2, 32, 30, 70));
  EXPECT_EQ(right->geometry(), QRect(158, 32, 40, 70));
  EXPECT_EQ(client->geometry(), QRect(32, 32, 126, 70)) << "the client control takes what is left";
  EXPECT_EQ(free->geometry(), QRect(7, 8, 9, 10));

  panel->SetBounds(0, 0, 300, 220);
  EXPECT_EQ(client->geometry(), QRect(32, 32, 226, 170)) << "a resized container places them again";
  lowerTop->SetVisible(false);
  EXPECT_EQ(left->geometry(), QRect(2, 12, 30, 190)) << "a hidden control takes no room";
  upperTop->SetHeight(30);
  EXPECT_EQ(client->geometry(), QRect(32, 32, 226, 170)) << "a new height of an aligned control is kept";
}
