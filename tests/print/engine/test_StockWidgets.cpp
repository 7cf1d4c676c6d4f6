// Which children a window walk visits, and what a stock widget's caption and visibility are on paper.
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "print/engine/StockWidgets.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

QList<QWidget*> Widgets(const std::vector<TPrintedChild>& children) {
  QList<QWidget*> widgets;
  for (const TPrintedChild& child : children) widgets.append(child.Widget);
  return widgets;
}

TEST(StockWidgets, AWalkVisitsTheContentOfAContainerAndNeverThePartsOfAWidget) {
  QWidget host;
  auto* combo = new QComboBox(&host);
  combo->setEditable(true);
  EXPECT_TRUE(PrintedChildren(*combo).empty()) << "an editable combo's editor is a part of it";

  auto* tabs = new QTabWidget(&host);
  tabs->setGeometry(0, 0, 300, 200);
  auto* first = new QWidget;
  auto* second = new QWidget;
  tabs->addTab(first, QStringLiteral("One"));
  tabs->addTab(second, QStringLiteral("Two"));
  tabs->setCurrentIndex(1);
  EXPECT_EQ(Widgets(PrintedChildren(*tabs)), QList<QWidget*>{second}) << "the current page only";
  EXPECT_EQ(PrintedChildren(*tabs).front().Position, second->mapTo(tabs, QPoint(0, 0)));

  auto* area = new QScrollArea(&host);
  area->setGeometry(0, 0, 100, 100);
  auto* contents = new QWidget;
  contents->resize(90, 500);
  area->setWidget(contents);
  contents->move(0, -200);
  ASSERT_EQ(Widgets(PrintedChildren(*area)), QList<QWidget*>{contents});
  EXPECT_EQ(PrintedChildren(*area).front().Position, area->viewport()->pos()) << "as scrolled to the start";

  auto* panel = new TPanel(&host);
  auto* own = new TLabel(panel);
  auto* stock = new QLabel(panel);
  EXPECT_EQ(Widgets(PrintedChildren(*panel)), (QList<QWidget*>{own, stock}))
      << "a panel holds both, in order";

  auto* group = new TRadioGroup(&host);
  group->SetItems({QStringLiteral("a"), QStringLiteral("b")});
  EXPECT_TRUE(PrintedChildren(*group).empty()) << "a radio group draws its own buttons";
}

TEST(StockWidgets, OnlyAWidgetHiddenOnPurposeIsHiddenFromPrint) {
  QWidget window;
  auto* shown = new QLabel(&window);
  auto* hidden = new QLabel(&window);
  hidden->hide();
  auto* stack = new QStackedWidget(&window);
  auto* current = new QWidget;
  auto* other = new QWidget;
  stack->addWidget(current);
  stack->addWidget(other);
  EXPECT_FALSE(HiddenFromPrint(window)) << "a window prints though it was never shown";
  EXPECT_FALSE(HiddenFromPrint(*shown)) << "a widget of a window never shown";
  EXPECT_TRUE(HiddenFromPrint(*hidden));
  EXPECT_FALSE(HiddenFromPrint(*current));
  EXPECT_TRUE(HiddenFromPrint(*other)) << "a stack's other page";
}

TEST(StockWidgets, ACaptionReadsWithoutItsShortcutMark) {
  const std::pair<const char*, const char*> cases[] = {{"&Paid", "Paid"},
                                                       {"Save && quit", "Save & quit"},
                                                       {"R&&D &costs", "R&D costs"},
                                                       {"Plain", "Plain"},
                                                       {"Ends &", "Ends "}};
  for (const auto& [caption, shown] : cases)
    EXPECT_EQ(WithoutMnemonic(QString::fromUtf8(caption)), QString::fromUtf8(shown)) << caption;
}

TEST(StockWidgets, AWidgetsFontKeepsItsSizeFaceStylesAndTextColour) {
  QLabel label;
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setPointSize(12);
  font.setBold(true);
  font.setItalic(true);
  label.setFont(font);
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, QColor(200, 10, 20));
  label.setPalette(palette);
  const TFont printed = StockFont(label);
  EXPECT_EQ(printed.Name(), QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(printed.Size(), 12);
  EXPECT_EQ(printed.Style(), static_cast<TFontStyles>(fsBold | fsItalic));
  EXPECT_EQ(ToQColor(printed.Color()), QColor(200, 10, 20));
  font.setPixelSize(30);
  label.setFont(font);
  EXPECT_EQ(StockFont(label).Height(), -30) << "a size in pixels stays in pixels";
}

}  // namespace
