#include "print/dialogs/Addit.h"

#include "platform/Screen.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"
#include "print/shared/QV_MFunc.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
// The dialog is laid out for a 120 pixels-per-inch screen; its width and height follow the real one.
constexpr int DesignPixelsPerInch = 120;
constexpr int DesignWidth = 440;
constexpr int DesignHeight = 330;

TLabel* MakeCaption(QWidget* parent) {
  auto* label = new TLabel(parent);
  label->SetTransparent(true);
  return label;
}
}  // namespace

TAddition::TAddition(QWidget* owner) : TForm(owner) {
  SetName(QStringLiteral("Addition"));
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);

  PageRange = new QGroupBox(this);
  All = new QRadioButton(PageRange);
  Current = new QRadioButton(PageRange);
  Range = new QRadioButton(PageRange);
  Edit1 = new TEdit(PageRange);
  Label1 = MakeCaption(PageRange);
  Label3 = MakeCaption(PageRange);
  Label2 = MakeCaption(this);
  ComboBox1 = new QComboBox(this);
  Label4 = MakeCaption(this);
  Copies = new TEdit(this);
  Print = new TButton(this);
  Print->SetDefault(true);
  Print->SetModalResult(mrOk);
  CancelBtn = new TButton(this);
  CancelBtn->SetCancel(true);
  CancelBtn->SetModalResult(mrCancel);
  All->setChecked(true);

  auto* rangeLayout = new QGridLayout(PageRange);
  rangeLayout->addWidget(All, 0, 0, 1, 2);
  rangeLayout->addWidget(Current, 1, 0, 1, 2);
  rangeLayout->addWidget(Range, 2, 0);
  rangeLayout->addWidget(Edit1, 2, 1);
  rangeLayout->addWidget(Label1, 3, 0, 1, 2);
  rangeLayout->addWidget(Label3, 4, 0, 1, 2);
  rangeLayout->setColumnStretch(1, 1);

  auto* options = new QGridLayout;
  options->addWidget(Label2, 0, 0);
  options->addWidget(ComboBox1, 0, 1);
  options->addWidget(Label4, 1, 0);
  options->addWidget(Copies, 1, 1);
  options->setColumnStretch(1, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Print);
  buttons->addWidget(CancelBtn);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageRange);
  layout->addLayout(options);
  layout->addStretch(1);
  layout->addLayout(buttons);

  for (QRadioButton* choice : {All, Current, Range}) {
    connect(choice, &QRadioButton::toggled, this, [this] { RangeClick(); });
  }
  FormCreate();
  SetActiveControl(Print);
}

TAddition::~TAddition() = default;

void TAddition::FormCreate() {
  SetCaption(LoadTextOr(QVTextPrintOptions, QStringLiteral("Print Options")));
  PageRange->setTitle(LoadTextOr(QVTextPageRange, QStringLiteral("Page Range")));
  All->setText(LoadTextOr(QVTextAllPages, QStringLiteral("All Pages")));
  Current->setText(LoadTextOr(QVTextCurrentPage, QStringLiteral("Current Page")));
  Range->setText(LoadTextOr(QVTextPageRange, QStringLiteral("Range")));
  Label1->SetCaption(LoadTextOr(QVTextEnterPages, QStringLiteral("Enter page numbers and/or page ranges")));
  Label3->SetCaption(
      LoadTextOr(QVTextPagesExample, QStringLiteral("separated by commas e.g. 1,2,5,7-14,21")));
  Label2->SetCaption(LoadTextOr(QVTextPageSelection, QStringLiteral("Page Selection")));
  Label4->SetCaption(LoadTextOr(QVTextCopies, QStringLiteral("# of Copies")));
  Print->SetCaption(LoadTextOr(QVTextPrint, QStringLiteral("&Print")));
  CancelBtn->SetCaption(LoadTextOr(QVTextClose, QStringLiteral("&Close")));
  ComboBox1->addItems({LoadTextOr(QVTextPrintAllPages, QStringLiteral("Print All Pages")),
                       LoadTextOr(QVTextPrintOddPages, QStringLiteral("Print Odd Pages")),
                       LoadTextOr(QVTextPrintEvenPages, QStringLiteral("Print Even Pages"))});
  ComboBox1->setCurrentIndex(0);
  Copies->SetText(QStringLiteral("1"));
  RangeClick();

  const double factor = static_cast<double>(ScreenPixelsPerInch()) / DesignPixelsPerInch;
  const QSize needed = layout()->minimumSize();
  SetClientSize(std::max(static_cast<int>(std::lround(DesignWidth * factor)), needed.width()),
                std::max(static_cast<int>(std::lround(DesignHeight * factor)), needed.height()));
}

void TAddition::RangeClick() {
  const bool range = Range->isChecked();
  if (!range) Edit1->SetText(QString());
  Edit1->SetEnabled(range);
  Label1->SetEnabled(range);
  Label3->SetEnabled(range);
}

bool TAddition::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) RangeClick();
  return TForm::event(event);
}
