#pragma once

// The boxes a printed rich text continues into, so a long text flows across a form and onto further pages.

#include "platform/ExtCtrls.h"
#include "print/controls/QVRich.h"

#include <QPointer>

/** The panel the library's rich-text continuation is made from. */
class TQVRichCon : public TCustomPanel {
  Q_OBJECT
public:
  explicit TQVRichCon(QWidget* parent);
};

/**
 * A box elsewhere on a form into which a rich-text edit's printed text continues: when printed, it makes
 * ParentRichEditE print its next portion into this panel's rectangle. On screen it is an ordinary white
 * panel. Without a ParentRichEditE it prints nothing and answers qpNothing.
 */
class TQVRichContinue : public TQVRichCon, public TQVPrintMessageReceiver {
  Q_OBJECT
public:
  explicit TQVRichContinue(QWidget* parent);

  /** The edit whose text continues here; cleared when that edit is destroyed. */
  TRichEditE* ParentRichEditE() const { return parentRichEditE_; }
  void SetParentRichEditE(TRichEditE* edit) { parentRichEditE_ = edit; }

  TQVPrintAnswer PrintMessage(TQVPrint& record) override;
  bool QVTextRemains() const override;

private:
  QPointer<TRichEditE> parentRichEditE_;
};
