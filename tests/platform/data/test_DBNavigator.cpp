#include "platform/Dialogs.h"
#include "platform/data/DBNavigator.h"
#include "platform/data/Fields.h"
#include "tests/platform/data/DataControlTest.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace {

TEST_F(DataControlTest, NavigatorMovesItsDataSetAndReportsFailuresToTheUser) {
  auto* navigator = new TDBNavigator(&form_);
  navigator->SetDataSource(source_);
  EXPECT_FALSE(navigator->Button(nbNext)->isEnabled());
  table_->Open();
  EXPECT_FALSE(navigator->Button(nbPrior)->isEnabled());
  EXPECT_TRUE(navigator->Button(nbNext)->isEnabled());
  navigator->Button(nbLast)->click();
  EXPECT_EQ(table_->RecNo(), 3);
  EXPECT_FALSE(navigator->Button(nbLast)->isEnabled());
  navigator->BtnClick(nbPrior);
  EXPECT_EQ(table_->RecNo(), 2);
  for (QObject* child : navigator->children()) EXPECT_EQ(dynamic_cast<TControl*>(child), nullptr);

  // Another program drops the table while the navigator shows it; the next move fails and is reported.
  QTest::qWait(700);  // the idle data set lets go of its statement, so the writer gets in
  WriteDatabase(file_, {QStringLiteral("DROP TABLE ledger")});
  QStringList shown;
  ModalObserverScope answer([&shown](QWidget& window) {
    for (const QLabel* label : window.findChildren<QLabel*>()) shown.append(label->text());
    window.close();
  });
  navigator->BtnClick(nbRefresh);
  EXPECT_TRUE(shown.join(QLatin1Char(' ')).contains(QStringLiteral("no such table: ledger")))
      << shown.join(QLatin1Char('|')).toStdString();
  EXPECT_EQ(table_->RecNo(), 2) << "the failed move left the data set where it was";
}

}  // namespace
