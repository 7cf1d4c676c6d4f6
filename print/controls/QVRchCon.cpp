#include "print/controls/QVRchCon.h"

TQVRichCon::TQVRichCon(QWidget* parent) : TCustomPanel(parent) {}

TQVRichContinue::TQVRichContinue(QWidget* parent) : TQVRichCon(parent) { SetColor(clWhite); }

TQVPrintAnswer TQVRichContinue::PrintMessage(TQVPrint& record) {
  if (parentRichEditE_ == nullptr) return qpNothing;
  return parentRichEditE_->PrintInto(record, *this);
}

bool TQVRichContinue::QVTextRemains() const {
  return parentRichEditE_ != nullptr && parentRichEditE_->QVTextRemains();
}
