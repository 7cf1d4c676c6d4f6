#include "print/controls/QV3Party.h"

TQVGraphicControl::TQVGraphicControl(QWidget* parent) : TGraphicControl(parent) {}

void TQVGraphicControl::PrintTo(TQVPrint&) {}
