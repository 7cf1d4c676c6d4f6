#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "tests/support/TestSupport.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {
// Answers the next message box by pressing the button with the given caption, recording what it showed.
struct MessageAnswer {
  QString Press;
  QString Title;
  QString Text;
  QStringList Captions;
  int Shown = 0;

  TModalObserver Observer() {
    return [this](QWidget& window) {
      auto* box = qobject_cast<QMessageBox*>(&window);
      ASSERT_NE(box, nullptr);
      ++Shown;
      Title = box->windowTitle();
      Text = box->text();
      Captions.clear();
      QAbstractButton* press = nullptr;
      for (QAbstractButton* button : box->buttons()) {
        Captions.append(button->text());
        if (button->text() == Press) press = button;
      }
      if (press != nullptr)
        press->click();
      else
        QTest::keyClick(box, Qt::Key_Escape);
    };
  }
};
}  // namespace

TEST(Dialogs, MessageDlgReturnsThePressedButtonsResult) {
  MessageAnswer answer;
  ModalObserverScope scope(answer.Observer());
  answer.Press = QStringLiteral("&No");
  EXPECT_EQ(MessageDlg(QStringLiteral("Save the changes?"), mtConfirmation, mbYesNoCancel), mrNo);
  EXPECT_EQ(answer.Title, QStringLiteral("Confirm"));
  EXPECT_EQ(answer.Text, QStringLiteral("Save the changes?"));
  answer.Captions.sort();
  EXPECT_EQ(answer.Captions,
            QStringList({QStringLiteral("&No"), QStringLiteral("&Yes"), QStringLiteral("Cancel")}));

  answer.Press = QStringLiteral("&Retry");
  EXPECT_EQ(MessageDlg(QStringLiteral("Again?"), mtError, mbAbortRetryIgnore), mrRetry);
  EXPECT_EQ(answer.Title, QStringLiteral("Error"));
}

TEST(Dialogs, EscapePicksCancelThenNoThenALoneOK) {
  MessageAnswer answer;  // presses nothing, so every box gets Escape
  ModalObserverScope scope(answer.Observer());
  EXPECT_EQ(MessageDlg(QStringLiteral("?"), mtConfirmation, mbYesNoCancel), mrCancel);
  EXPECT_EQ(MessageDlg(QStringLiteral("?"), mtConfirmation, mbYes | mbNo), mrNo);
  EXPECT_EQ(MessageDlg(QStringLiteral("!"), mtInformation, mbOK), mrOk);
  EXPECT_EQ(answer.Shown, 3);
}

TEST(Dialogs, MessageTextIsPlainAndShowMessageUsesTheApplicationTitle) {
  MessageAnswer answer;
  ModalObserverScope scope(answer.Observer());
  answer.Press = QStringLiteral("OK");
  const QString previousTitle = Application().Title();
  Application().SetTitle(QStringLiteral("Quenary Test"));
  ShowMessage(QStringLiteral("<b>not bold</b> & more"));
  Application().SetTitle(previousTitle);
  EXPECT_EQ(answer.Title, QStringLiteral("Quenary Test"));
  EXPECT_EQ(answer.Text, QStringLiteral("<b>not bold</b> & more"));
  EXPECT_EQ(answer.Captions, QStringList({QStringLiteral("OK")}));
}

TEST(Dialogs, RunModalCanBeAnsweredFromATimerWithoutAnObserver) {
  QDialog dialog;
  QTimer::singleShot(0, &dialog, [&dialog] {
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    dialog.accept();
  });
  EXPECT_EQ(ExecuteDialog(dialog), QDialog::Accepted);
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.windowModality(), Qt::NonModal);
}

TEST(Dialogs, WindowDestroyedWhileModalEndsTheRun) {
  auto* window = new QWidget;
  QTimer::singleShot(0, window, [window] { delete window; });
  RunModal(*window);
  SUCCEED();
}

TEST(Dialogs, ObserversNestAndComeBack) {
  int outerSeen = 0;
  int innerSeen = 0;
  const auto close = [](QWidget& window) { window.hide(); };
  ModalObserverScope outer([&](QWidget& window) {
    ++outerSeen;
    close(window);
  });
  {
    ModalObserverScope inner([&](QWidget& window) {
      ++innerSeen;
      close(window);
    });
    QDialog first;
    ExecuteDialog(first);
  }
  QDialog second;
  ExecuteDialog(second);
  EXPECT_EQ(innerSeen, 1);
  EXPECT_EQ(outerSeen, 1);
}
