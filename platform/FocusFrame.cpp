#include "platform/FocusFrame.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {
class ClearFocusStyle : public QProxyStyle {
public:
  using QProxyStyle::QProxyStyle;

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    // A button's panel carries its focus mark; check boxes and radio buttons frame their text.
    if (element != PE_FrameFocusRect) QProxyStyle::drawPrimitive(element, option, painter, widget);
    if (element != PE_FrameFocusRect && element != PE_PanelButtonCommand) return;
    // A focus frame is for the keyboard's user; a click gives the focus without one, as the style does.
    if ((option->state & State_HasFocus) == 0 || (option->state & State_KeyboardFocusChange) == 0) return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(option->palette.color(QPalette::Active, QPalette::Highlight), 2));
    painter->setBrush(Qt::NoBrush);
    painter->drawRoundedRect(QRectF(option->rect).adjusted(1, 1, -1, -1), 2, 2);
    painter->restore();
  }
};
}  // namespace

void UseClearFocusFrames() {
  if (QApplication::instance() == nullptr) return;
  if (dynamic_cast<ClearFocusStyle*>(QApplication::style()) != nullptr) return;
  QApplication::setStyle(new ClearFocusStyle(QApplication::style()->name()));
}
