#pragma once

#include "platform/Printers.h"

#include <QString>
#include <QStringList>

/** Selects printer `index` of `names` (names that are no system queue print to the PDF destination). */
inline void UseTestPrinter(const QStringList& names, int index, int dotsPerInch,
                           const QString& pdfFile = QString()) {
  Printer().SetPrinters(names);
  Printer().SetPrinterIndex(index);
  Printer().SetPdfOutput(pdfFile, dotsPerInch);
  Printer().SetOrientation(poPortrait);
}
