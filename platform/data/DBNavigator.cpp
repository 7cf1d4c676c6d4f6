#include "platform/data/DBNavigator.h"

#include "platform/Application.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <vector>

namespace {
// The classic glyphs: a bar and a triangle for first and last, a triangle for prior and next, a ring for
// refresh, drawn at any size the buttons take.
QIcon Glyph(TNavigateBtn button) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(Qt::black));
  const auto triangle = [&painter](bool left, int x) {
    QPainterPath path;
    path.moveTo(left ? x + 6 : x, 3);
    path.lineTo(left ? x : x + 6, 8);
    path.lineTo(left ? x + 6 : x, 13);
    path.closeSubpath();
    painter.drawPath(path);
  };
  switch (button) {
    case nbFirst:
      painter.drawRect(3, 3, 2, 10);
      triangle(true, 6);
      break;
    case nbPrior: triangle(true, 5); break;
    case nbNext: triangle(false, 5); break;
    case nbLast:
      triangle(false, 4);
      painter.drawRect(11, 3, 2, 10);
      break;
    case nbRefresh: {
      painter.setPen(QPen(Qt::black, 2));
      painter.setBrush(Qt::NoBrush);
      painter.drawArc(QRect(3, 3, 10, 10), 60 * 16, 280 * 16);
      painter.setPen(Qt::NoPen);
      painter.setBrush(QColor(Qt::black));
      QPainterPath head;
      head.moveTo(9, 1);
      head.lineTo(13, 4);
      head.lineTo(9, 7);
      head.closeSubpath();
      painter.drawPath(head);
      break;
    }
  }
  return QIcon(pixmap);
}

const char* const Hints[] = {"First record", "Prior record", "Next record", "Last record", "Refresh data"};
}  // namespace

TDBNavigator::TDBNavigator(QWidget* parent)
    : QWidget(parent), TControl(clBtnFace, false, taLeftJustify, bsNone) {
  ApplyColorAndFont();
  for (int index = nbFirst; index <= nbRefresh; ++index) {
    const auto button = static_cast<TNavigateBtn>(index);
    auto* tool = new QToolButton(this);
    tool->setIcon(Glyph(button));
    tool->setToolTip(QString::fromLatin1(Hints[index]));
    tool->setAutoRaise(false);
    connect(tool, &QToolButton::clicked, this, [this, button] { BtnClick(button); });
    buttons_[static_cast<std::size_t>(index)] = tool;
  }
  resize(5 * 25, 25);
  UpdateButtons();
}

void TDBNavigator::SetDataSource(TDataSource* source) {
  for (const auto& connection : connections_) disconnect(connection);
  connections_.clear();
  source_ = source;
  if (source != nullptr) {
    const auto update = [this] { UpdateButtons(); };
    connections_.push_back(connect(source, &TDataSource::DataChange, this, update));
    connections_.push_back(connect(source, &TDataSource::DataSetChange, this, update));
    connections_.push_back(connect(source, &TDataSource::StateChange, this, update));
    connections_.push_back(connect(source, &QObject::destroyed, this, update));
  }
  UpdateButtons();
}

void TDBNavigator::SetVisibleButtons(TButtonSet buttons) {
  visibleButtons_ = buttons;
  ArrangeButtons();
}

void TDBNavigator::BtnClick(TNavigateBtn button) {
  TDataSet* dataSet = source_ != nullptr ? source_->DataSet() : nullptr;
  if (dataSet == nullptr || !dataSet->Active()) return;
  // The click came from the message loop: a failure goes to the application's handler, not further up.
  try {
    switch (button) {
      case nbFirst: dataSet->First(); break;
      case nbPrior: dataSet->Prior(); break;
      case nbNext: dataSet->Next(); break;
      case nbLast: dataSet->Last(); break;
      case nbRefresh: dataSet->Refresh(); break;
    }
  } catch (const Exception& error) {
    Application().HandleException(error);
  }
  UpdateButtons();
  Q_EMIT Click(button);
}

void TDBNavigator::UpdateButtons() {
  TDataSet* dataSet = source_ != nullptr && source_->Enabled() ? source_->DataSet() : nullptr;
  const bool active = dataSet != nullptr && dataSet->Active();
  const bool atFirst = !active || dataSet->IsEmpty() || dataSet->RecNo() <= 1;
  const bool atLast = !active || dataSet->IsEmpty() || dataSet->RecNo() >= dataSet->RecordCount();
  buttons_[nbFirst]->setEnabled(!atFirst);
  buttons_[nbPrior]->setEnabled(!atFirst);
  buttons_[nbNext]->setEnabled(!atLast);
  buttons_[nbLast]->setEnabled(!atLast);
  buttons_[nbRefresh]->setEnabled(active);
  ArrangeButtons();
}

void TDBNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ArrangeButtons();
}

void TDBNavigator::ArrangeButtons() {
  // The shown buttons share the width equally, as the framework's navigator does.
  std::vector<QToolButton*> shown;
  for (int index = nbFirst; index <= nbRefresh; ++index) {
    QToolButton* button = buttons_[static_cast<std::size_t>(index)];
    const bool visible = (visibleButtons_ & (1u << index)) != 0;
    button->setVisible(visible);
    if (visible) shown.push_back(button);
  }
  if (shown.empty()) return;
  const int count = static_cast<int>(shown.size());
  const int each = width() / count;
  for (int index = 0; index < count; ++index) {
    const int left = index * each;
    const int right = index == count - 1 ? width() : left + each;
    shown[static_cast<std::size_t>(index)]->setGeometry(left, 0, right - left, height());
  }
}
