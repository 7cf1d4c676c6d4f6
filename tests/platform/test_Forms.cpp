#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {
// A modal form with OK (default, mrOk) and Cancel (cancel) buttons and an entry field.
struct ModalForm {
  TForm Form;
  TEdit* Entry = new TEdit(&Form);
  TButton* Ok = new TButton(&Form);
  TButton* Cancel = new TButton(&Form);

  ModalForm() {
    Form.SetClientSize(200, 100);
    Ok->SetCaption(QStringLiteral("OK"));
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    Cancel->SetCaption(QStringLiteral("Cancel"));
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    Form.SetActiveControl(Entry);
  }

  TModalResult ShowAnswering(const std::function<void(TForm&)>& answer) {
    ModalObserverScope scope([this, &answer](QWidget& window) {
      EXPECT_EQ(&window, &Form);
      EXPECT_TRUE(Form.Modal());
      answer(Form);
    });
    return Form.ShowModal();
  }
};

class FreeOnClose : public TForm {
protected:
  void FormClose(TCloseAction& action) override { action = Action; }

public:
  TCloseAction Action = caFree;
};
}  // namespace

TEST(Forms, FixedBorderKeepsTheClientSizeGiven) {
  TForm form;
  form.SetBorderStyle(bsSingle);
  form.SetClientSize(514, 232);
  EXPECT_EQ(form.ClientWidth(), 514);
  EXPECT_EQ(form.ClientHeight(), 232);
  EXPECT_EQ(form.minimumSize(), QSize(514, 232));
  EXPECT_EQ(form.maximumSize(), QSize(514, 232));
  form.SetClientWidth(300);
  EXPECT_EQ(form.size(), QSize(300, 232));

  form.SetBorderStyle(bsSizeable);
  form.resize(400, 400);
  EXPECT_EQ(form.size(), QSize(400, 400));
}

TEST(Forms, BorderIconsChooseTheTitleBarButtons) {
  TForm main;
  main.SetBorderStyle(bsSingle);
  main.SetBorderIcons(biSystemMenu | biMinimize);
  EXPECT_TRUE(main.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_TRUE(main.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(main.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));

  TForm dialog;
  dialog.SetBorderStyle(bsDialog);
  dialog.SetBorderIcons(0);
  EXPECT_EQ(dialog.windowType(), Qt::Dialog);
  EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
}

TEST(Forms, ScreenCenterPlacesTheFormInTheMiddle) {
  TForm form;
  form.SetClientSize(300, 200);
  form.SetPosition(poScreenCenter);
  form.show();
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(form.frameGeometry().center().x(), screen.center().x(), 1);
  EXPECT_NEAR(form.frameGeometry().center().y(), screen.center().y(), 1);
}

TEST(Forms, ModalRunEndsWithTheButtonsResult) {
  ModalForm modal;
  EXPECT_EQ(modal.ShowAnswering([&](TForm&) { modal.Ok->Click(); }), mrOk);
  EXPECT_FALSE(modal.Form.isVisible());
  EXPECT_FALSE(modal.Form.Modal());
  EXPECT_EQ(modal.ShowAnswering([&](TForm&) { QTest::keyClick(modal.Entry, Qt::Key_Return); }), mrOk);
  EXPECT_EQ(modal.ShowAnswering([&](TForm&) { QTest::keyClick(modal.Entry, Qt::Key_Escape); }), mrCancel);
  EXPECT_EQ(modal.ShowAnswering([](TForm& form) { form.Close(); }), mrCancel);
  EXPECT_EQ(modal.ShowAnswering([](TForm& form) { form.SetModalResult(mrRetry); }), mrRetry);
}

TEST(Forms, EnterOnAFocusedButtonClicksThatButton) {
  ModalForm modal;
  EXPECT_EQ(modal.ShowAnswering([&](TForm&) {
    modal.Cancel->setFocus();
    QTest::keyClick(modal.Cancel, Qt::Key_Return);
  }),
            mrCancel);
}

TEST(Forms, ActiveControlHasTheFocusWhenShown) {
  ModalForm modal;
  modal.ShowAnswering([&](TForm& form) {
    EXPECT_EQ(form.focusWidget(), modal.Entry);
    form.Close();
  });
}

TEST(Forms, CloseActionDecides) {
  auto* kept = new FreeOnClose;
  kept->Action = caNone;
  kept->show();
  kept->Close();
  EXPECT_TRUE(kept->isVisible());
  kept->Action = caFree;
  const QPointer<TForm> freed(kept);
  kept->Close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(freed.isNull());
}

TEST(Forms, FirstFormIsTheMainFormAndClosingItEndsTheMessageLoop) {
  ASSERT_EQ(Application().MainForm(), nullptr);
  auto first = std::make_unique<TForm>();
  TForm second;
  EXPECT_EQ(Application().MainForm(), first.get());
  first->show();
  second.show();
  bool terminatedEarly = true;
  QTimer::singleShot(0, &second, [&] {
    second.Close();
    terminatedEarly = Application().Terminated();
    first->Close();
  });
  // Should closing the main form fail to end the loop, this ends it with a code the test rejects.
  QTimer watchdog;
  watchdog.setSingleShot(true);
  QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
  watchdog.start(60000);
  EXPECT_EQ(Application().Run(), 0);
  EXPECT_FALSE(terminatedEarly) << "closing another form ended the program";
  EXPECT_TRUE(Application().Terminated());
  first.reset();
  EXPECT_EQ(Application().MainForm(), nullptr);
}

TEST(TScrollBox, BarsAppearWhenControlsReachBeyondAndScrollingMovesThem) {
  TForm form;
  auto* box = new TScrollBox(&form);
  box->SetBounds(0, 0, 200, 150);
  auto* near = new TLabel(box);
  near->SetAutoSize(false);
  near->SetBounds(10, 10, 50, 20);
  form.show();
  EXPECT_TRUE(box->VertScrollBar().isHidden());
  EXPECT_TRUE(box->HorzScrollBar().isHidden());
  auto* far = new TEdit(box);
  far->SetBounds(20, 400, 100, 24);
  far->show();
  EXPECT_FALSE(box->VertScrollBar().isHidden());
  EXPECT_TRUE(box->HorzScrollBar().isHidden());
  EXPECT_EQ(box->VertScrollBar().maximum(), 424 - (box->ClientRect().bottom() + 1))
      << "the last control's bottom edge can reach the client's";

  box->VertScrollBar().setValue(100);
  EXPECT_EQ(near->Top(), -90) << "a scrolled control's Top is where it shows";
  EXPECT_EQ(far->Top(), 300);
  box->ScrollInView(*far);
  EXPECT_EQ(far->Top() + far->Height(), box->ClientRect().bottom() + 1);
  box->ScrollInView(*near);
  EXPECT_EQ(near->Top(), box->ClientRect().top()) << "scrolled just far enough";

  far->SetLeft(400);
  EXPECT_FALSE(box->HorzScrollBar().isHidden());
  far->SetVisible(false);
  EXPECT_TRUE(box->VertScrollBar().isHidden()) << "a hidden control needs no room";
  EXPECT_TRUE(box->HorzScrollBar().isHidden());

  QList<TControl*> controls;
  for (QObject* child : box->children()) {
    if (auto* control = dynamic_cast<TControl*>(child)) controls.append(control);
  }
  EXPECT_EQ(controls, QList<TControl*>({near, far})) << "bars and frame are parts, not controls";
}

TEST(TScrollBox, SingleBorderIsASunkenFrameAboveTheControls) {
  TScrollBox box(nullptr);
  box.SetBounds(0, 0, 100, 80);
  box.SetColor(clWhite);
  auto* panel = new TPanel(&box);
  panel->SetBevelOuter(bvNone);
  panel->SetColor(clRed);
  panel->SetBounds(0, 0, 100, 80);
  EXPECT_EQ(box.BorderStyle(), bsSingle);
  const QImage framed = box.grab().toImage();
  EXPECT_EQ(framed.pixelColor(0, 40), ToQColor(clBtnShadow)) << "the frame covers the control under it";
  EXPECT_EQ(framed.pixelColor(50, 40), QColor(Qt::red));
  box.SetBorderStyle(bsNone);
  EXPECT_EQ(box.ClientRect(), QRect(0, 0, 100, 80));
  EXPECT_EQ(box.grab().toImage().pixelColor(0, 40), QColor(Qt::red));
}

namespace {
// The X server holds each window's caption as the user sees it in the title bar: the program's name (the
// desktop's task bar shows it, from the desktop entry) is not added to it.
TEST(Forms, EveryWindowIsTitledByItsCaptionAloneOnTheDesktop) {
  if (!UnderVirtualX()) {
    RunCurrentTestUnderX();
    return;
  }
  Application().SetTitle(QStringLiteral("Quenary Oracle"));
  TForm main;
  main.SetCaption(QStringLiteral("Quenary Calculator Ver. 1.1"));
  TForm links;
  links.SetCaption(QStringLiteral("Quenary Oracle "));
  TForm ledger;
  ledger.SetCaption(QStringLiteral("Quenary Ledger - ledger.sqlite"));
  for (TForm* window : {&main, &links, &ledger}) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    EXPECT_EQ(XWindowTitle(*window), window->Caption());
  }
}
}  // namespace
