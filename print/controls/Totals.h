#pragma once

// The totals boxes of a printed form: a grid's page and running totals, page number, date, time or a text.

#include "platform/Controls.h"
#include "platform/data/DBGrids.h"
#include "print/shared/QV_MFunc.h"

#include <QAbstractItemView>
#include <QPointer>
#include <QWidget>

/** What a totals control shows. */
enum TTotals { tPageTotal, tAccTotal, tPageNumber, tDate, tTime, tText };

/**
 * A totals box for printed forms. On screen it shows its text (or today's date or the time) where the
 * designer placed it; printed after a data grid it shows the page total or the running total of one of the
 * grid's columns, the page number, the date, the time or its text, on the pages ShowOn selects.
 */
class TShowTotal : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TShowTotal(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  /**
   * The grid whose column is summed: a data grid, or any Qt item view, whose column is then the one titled
   * SourceField in its header. Cleared when that grid goes.
   */
  QAbstractItemView* SourceGrid() const { return sourceGrid_; }
  void SetSourceGrid(QAbstractItemView* grid);
  /** The display label of the summed column's field, compared without regard to case. */
  QString SourceField() const { return sourceField_; }
  void SetSourceField(const QString& label) { sourceField_ = label; }
  TTotals TotalType() const { return totalType_; }
  void SetTotalType(TTotals type);
  /** The number pattern of the two totals ("#,##0.00" unless set). */
  QString DisplayFormat() const { return displayFormat_; }
  void SetDisplayFormat(const QString& format) { displayFormat_ = format; }
  /** The fixed text, also shown by totals that have no source. */
  QString Text() const { return text_; }
  void SetText(const QString& text);
  TShow ShowOn() const { return showOn_; }
  void SetShowOn(TShow showOn) { showOn_ = showOn; }
  /** False leaves the control blank on the screen; it still prints. */
  bool ShowOnForm() const { return showOnForm_; }
  void SetShowOnForm(bool show);

  /** The text the control shows on the screen for its kind. */
  QString ScreenText() const;

  /**
   * Room for its text at its font, with the margins it paints: a total's room is that of a seven-digit
   * amount in its pattern, so a layout never squeezes the value onto its label.
   */
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void AlignmentChanged() override { update(); }
  void BorderStyleChanged() override { update(); }
  void TransparentChanged() override { update(); }

private:
  QPointer<QAbstractItemView> sourceGrid_;
  QString sourceField_;
  TTotals totalType_ = tPageTotal;
  QString displayFormat_ = QStringLiteral("#,##0.00");
  QString text_ = QStringLiteral("0.00");
  TShow showOn_ = tAllPages;
  bool showOnForm_ = true;
};

/** Today's date and the time of day as a totals control writes them (the system's short formats). */
QString TotalsDateText();
QString TotalsTimeText();
