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

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPrintDialog>
#include <QSpinBox>
#include <QWidget>

/** What a test chooses in the system print dialog, field by field as a user would. */
struct PrintDialogChoices {
  /** Written into the dialog's PDF file entry, its last printer. */
  QString PdfFile;
  int Copies = 1;
  bool Collate = true;
  /** The dialog's "Pages from … to …"; 0 for all pages. */
  int FromPage = 0;
  int ToPage = 0;
  bool DuplexLongEdge = false;
  bool Grayscale = false;
};

/** Fills the fields of the system print dialog (the window a modal observer was given) and accepts it. */
inline void AnswerPrintDialog(QWidget& window, const PrintDialogChoices& choices) {
  auto* dialog = qobject_cast<QPrintDialog*>(&window);
  if (dialog == nullptr) return;
  const auto find = [dialog](const char* name) {
    return dialog->findChild<QWidget*>(QString::fromLatin1(name));
  };
  auto* printers = qobject_cast<QComboBox*>(find("printers"));
  printers->setCurrentIndex(printers->count() - 1);  // the dialog's last entry writes a PDF file
  qobject_cast<QLineEdit*>(find("filename"))->setText(choices.PdfFile);
  qobject_cast<QSpinBox*>(find("copies"))->setValue(choices.Copies);
  qobject_cast<QAbstractButton*>(find("collate"))->setChecked(choices.Collate);
  if (choices.FromPage > 0) {
    qobject_cast<QAbstractButton*>(find("printRange"))->setChecked(true);
    qobject_cast<QSpinBox*>(find("to"))->setValue(choices.ToPage);
    qobject_cast<QSpinBox*>(find("from"))->setValue(choices.FromPage);
  }
  qobject_cast<QAbstractButton*>(find(choices.DuplexLongEdge ? "duplexLong" : "noDuplex"))->setChecked(true);
  qobject_cast<QAbstractButton*>(find(choices.Grayscale ? "grayscale" : "color"))->setChecked(true);
  dialog->accept();
}
