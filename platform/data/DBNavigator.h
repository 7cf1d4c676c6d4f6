#pragma once

// The row of buttons that moves a form's data set through its records; never printed.

#include "platform/Controls.h"
#include "platform/data/DB.h"

#include <QPointer>
#include <QWidget>
#include <array>
#include <vector>

class QToolButton;

/** The buttons of a data navigator. */
enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbRefresh };
/** A set of TNavigateBtn flags (1 << button). */
using TButtonSet = unsigned;

/**
 * A row of buttons that move its data source's data set: to the first, previous, next and last record, and
 * read it again. Buttons that cannot move are disabled (first and previous on the first record, next and
 * last on the last). A failure of the data set is shown by the application's handler. The buttons are parts
 * of the navigator, not controls of the form; a navigator is never printed.
 */
class TDBNavigator : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TDBNavigator(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  TDataSource* DataSource() const { return source_; }
  void SetDataSource(TDataSource* source);
  TButtonSet VisibleButtons() const { return visibleButtons_; }
  void SetVisibleButtons(TButtonSet buttons);
  /** Does what the button does, as a click on it would. */
  void BtnClick(TNavigateBtn button);
  QToolButton* Button(TNavigateBtn button) const { return buttons_[button]; }

Q_SIGNALS:
  /** A button was clicked (after its move). */
  void Click(TNavigateBtn button);

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  void UpdateButtons();
  void ArrangeButtons();

  QPointer<TDataSource> source_;
  std::vector<QMetaObject::Connection> connections_;
  std::array<QToolButton*, 5> buttons_{};
  TButtonSet visibleButtons_ =
      (1u << nbFirst) | (1u << nbPrior) | (1u << nbNext) | (1u << nbLast) | (1u << nbRefresh);
};
