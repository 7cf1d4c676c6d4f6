#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

/** One page of a printed ledger, read back from its PDF by the words' places, not by any fixed layout. */
struct LedgerPage {
  QSizeF Size;
  /** The union of every word's box, in points. */
  QRectF Ink;
  /** Where the Amount title stands. */
  QRectF AmountTitle;
  /** The grid's amounts, top to bottom, with their boxes: the money between the titles and the totals. */
  QStringList Amounts;
  QList<QRectF> AmountBoxes;
  /** The money printed right of "Page total:" and of "Running total:"; empty when missing. */
  QString PageTotal;
  QString RunningTotal;
  bool Continued = false;
  /** The numbers printed after a word "Page", in print order (the footer's page number). */
  QStringList PageNumbers;
};

/** The pages of a ledger printed into that PDF file. */
QList<LedgerPage> ReadLedgerPrintout(const QString& pdfFile);

/** The sum of amounts as the ledger prints money ("#,##0.00"). */
QString LedgerMoney(const QStringList& amounts);
