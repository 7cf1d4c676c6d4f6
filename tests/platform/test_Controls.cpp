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
