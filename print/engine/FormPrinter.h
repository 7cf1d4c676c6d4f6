#pragma once

// The Qt-style way into the print library: a QWidget form printed or previewed in a few lines.

#include <QObject>
#include <QPageLayout>
#include <QPageSize>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class QAbstractItemView;
class QModelIndex;
class QWidget;
class TDBPrintWin;

namespace Quenary {

/**
 * Prints a QWidget form, or shows it in the print preview, in a few lines:
 *
 *     Quenary::FormPrinter printer;
 *     printer.setOutputFileName("invoice.pdf");
 *     if (!printer.print(&form)) qWarning() << printer.errorString();
 *
 * The form prints control by control as crisp text and lines, a table in it (any Qt item view or data
 * grid) across as many pages as its rows need; a form a Qt layout arranges is laid out to the page. A
 * heading set with setFirstPageHeading prints above the form on the first page only, and the form runs on
 * from the top of the later pages. Errors come back from print() and errorString(), never as a message box.
 *
 * It drives the library's printing component (component()), whose every setting stays at hand.
 */
class FormPrinter : public QObject {
  Q_OBJECT
public:
  explicit FormPrinter(QObject* parent = nullptr);
  ~FormPrinter() override;

  /** A PDF file to write the pages into; empty (the default) prints on the printer instead. */
  void setOutputFileName(const QString& fileName);
  QString outputFileName() const { return outputFileName_; }
  /** A printer (a CUPS queue) by its name; empty (the default) is the system's default printer. */
  void setPrinterName(const QString& name);
  QString printerName() const { return printerName_; }
  /** The paper; unset, the printer's own (A4 or Letter by the locale for a PDF file). */
  void setPageSize(const QPageSize& size);
  QPageSize pageSize() const { return pageSize_; }
  void setPageOrientation(QPageLayout::Orientation orientation);
  QPageLayout::Orientation pageOrientation() const { return orientation_; }
  /**
   * The texts of the header band; "@Page", "@Pages" (the document's page count), "@Date" and "@Time" are
   * filled in on each page.
   */
  void setHeader(const QString& left, const QString& center = QString(), const QString& right = QString());
  /** The texts of the footer band, with the same fields. */
  void setFooter(const QString& left, const QString& right = QString());
  /** How many copies print; 1 by default. */
  void setCopies(int copies);
  int copies() const;
  /** A part printed above the form on the first page only (a letterhead, an address); none by default. */
  void setFirstPageHeading(QWidget* heading);
  QWidget* firstPageHeading() const { return heading_; }
  /** Whether a form a Qt layout arranges is laid out to the page's width (and height, for a table). */
  void setFitToPage(bool fit);
  bool fitToPage() const;
  /**
   * What the PDF says of itself: its title (unset: the form window's title), author, subject and language
   * (a BCP 47 tag; unset: the form's locale).
   */
  void setDocumentTitle(const QString& title) { documentTitle_ = title; }
  QString documentTitle() const { return documentTitle_; }
  void setDocumentAuthor(const QString& author);
  void setDocumentSubject(const QString& subject);
  void setDocumentLanguage(const QString& language) { documentLanguage_ = language; }
  QString documentLanguage() const { return documentLanguage_; }
  /**
   * Gives a table of the form outline entries (a PDF's bookmarks): groupOf names the group of each row (its
   * index in the first column); a row whose group differs from the row before leads an entry of that title,
   * nested at the level. A null function takes them away.
   */
  void setRowOutline(QAbstractItemView* view, std::function<QString(const QModelIndex& row)> groupOf,
                     int level = 0);
  /**
   * Whether the PDF is tagged for screen readers (on by default): controls become paragraphs, headings
   * (a control's "headingLevel" property, 1 to 6), figures (their accessible description or name as
   * alternate text) and tables; page bands and frames are marked as the paper's.
   */
  void setTagged(bool tagged);
  bool tagged() const;
  /** Whether a status dialog with an Abort button shows while the pages print; on by default. */
  void setProgressDialogEnabled(bool enabled);
  bool progressDialogEnabled() const;

  /** Prints the form; false when not every page went out, and errorString() says why. */
  bool print(QWidget* form);
  /** Shows the form's pages in the print preview and returns when the preview closes. */
  bool preview(QWidget* form);

  /** Why the last print or preview failed; empty after one that succeeded. */
  QString errorString() const { return errorString_; }
  /** The pages the last print or preview made. */
  int pageCount() const { return pageCount_; }

  /** The printing component underneath, for its further settings (fonts, frames, units, events). */
  TDBPrintWin& component() { return *component_; }

Q_SIGNALS:
  /** A page of the form was printed: pages so far (the job then goes to the printer or the file). */
  void progress(int pages);
  /** Something the job had to say that did not stop it (its settings could not be stored, for one). */
  void warning(const QString& message);

private:
  bool run(QWidget* form, bool toPreview);
  void chooseDestination();
  void printForm(QWidget* form);

  std::unique_ptr<TDBPrintWin> component_;
  QString outputFileName_;
  QString printerName_;
  QPageSize pageSize_;
  QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
  QPointer<QWidget> heading_;
  QString documentTitle_;
  QString documentLanguage_;
  QString errorString_;
  int pageCount_ = 0;
};

}  // namespace Quenary
