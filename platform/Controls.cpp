#include "platform/Controls.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace {
const char* const AlignWatcherName = "quenary-align-watcher";

// Places a container's aligned controls again whenever the container changes size.
class AlignWatcher : public QObject {
public:
  explicit AlignWatcher(QWidget& container) : QObject(&container) {
    setObjectName(QLatin1String(AlignWatcherName));
    container.installEventFilter(this);
  }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize && watched == parent())
      AlignControls(*static_cast<QWidget*>(watched));
    return false;
  }
};

bool HasAlignedControls(const QWidget& container) {
  return container.findChild<QObject*>(QLatin1String(AlignWatcherName), Qt::FindDirectChildrenOnly) !=
         nullptr;
}

void Realign(QWidget& control) {
  QWidget* container = control.parentWidget();
  if (container == nullptr) return;
  if (!HasAlignedControls(*container)) new AlignWatcher(*container);
  AlignControls(*container);
}
}  // namespace

TControl::TControl(TColor color, bool parentColor, TAlignment alignment, TBorderStyle borderStyle)
    : color_(color), parentColor_(parentColor), alignment_(alignment), borderStyle_(borderStyle) {}

QString TControl::Name() const { return Widget().objectName(); }

void TControl::SetName(const QString& name) { Widget().setObjectName(name); }

int TControl::Left() const { return Widget().x(); }
int TControl::Top() const { return Widget().y(); }
int TControl::Width() const { return Widget().width(); }
int TControl::Height() const { return Widget().height(); }

void TControl::SetLeft(int left) { Widget().move(left, Top()); }
void TControl::SetTop(int top) { Widget().move(Left(), top); }
void TControl::SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
void TControl::SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

void TControl::SetBounds(int left, int top, int width, int height) {
  Widget().setGeometry(left, top, std::max(0, width), std::max(0, height));
  if (align_ != alNone) Realign(Widget());
  // A window that was never shown gets no resize event, so its aligned controls are placed here as well.
  if (HasAlignedControls(Widget())) AlignControls(Widget());
}

bool TControl::Visible() const { return !Widget().isHidden(); }

void TControl::SetVisible(bool visible) {
  Widget().setVisible(visible);
  if (align_ != alNone) Realign(Widget());
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  Realign(Widget());
}

QRect TControl::AlignRect() const { return Widget().rect(); }

bool TControl::Enabled() const { return Widget().isEnabled(); }

void TControl::SetEnabled(bool enabled) { Widget().setEnabled(enabled); }

const TControl* TControl::ParentControl() const {
  for (const QWidget* parent = Widget().parentWidget(); parent != nullptr; parent = parent->parentWidget()) {
    if (const auto* control = dynamic_cast<const TControl*>(parent)) return control;
  }
  return nullptr;
}

TColor TControl::Color() const {
  if (parentColor_) {
    if (const TControl* parent = ParentControl()) return parent->Color();
  }
  return color_;
}

void TControl::SetColor(TColor color) {
  color_ = color;
  parentColor_ = false;
  ApplyColorAndFont();
}

void TControl::SetParentColor(bool parentColor) {
  if (parentColor_ == parentColor) return;
  // Taking the parent's colour over keeps the current value as the control's own for when it is dropped.
  if (!parentColor) color_ = Color();
  parentColor_ = parentColor;
  ApplyColorAndFont();
}

TFont TControl::Font() const {
  if (parentFont_) {
    if (const TControl* parent = ParentControl()) return parent->Font();
  }
  return font_;
}

void TControl::SetFont(const TFont& font) {
  font_ = font;
  parentFont_ = false;
  ApplyColorAndFont();
  FontChanged();
}

void TControl::SetParentFont(bool parentFont) {
  if (parentFont_ == parentFont) return;
  if (!parentFont) font_ = Font();
  parentFont_ = parentFont;
  ApplyColorAndFont();
  FontChanged();
}

void TControl::SetCaption(const QString& caption) {
  if (caption_ == caption) return;
  caption_ = caption;
  CaptionChanged();
}

void TControl::SetAlignment(TAlignment alignment) {
  if (alignment_ == alignment) return;
  alignment_ = alignment;
  AlignmentChanged();
}

void TControl::SetTransparent(bool transparent) {
  if (transparent_ == transparent) return;
  transparent_ = transparent;
  TransparentChanged();
}

void TControl::SetBorderStyle(TBorderStyle borderStyle) {
  if (borderStyle_ == borderStyle) return;
  borderStyle_ = borderStyle;
  BorderStyleChanged();
}

void TControl::ApplyColorAndFont() {
  QWidget& widget = Widget();
  // Only the roles this control owns are set, so everything else keeps following the parent widget.
  QPalette palette;
  if (!parentColor_) palette.setColor(BackgroundRole(), ToQColor(color_));
  if (!parentFont_) {
    const QColor text = ToQColor(font_.Color());
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
  }
  widget.setPalette(palette);
  widget.setFont(parentFont_ ? QFont() : font_.ToQFont());
}

TFont MakeFont(const QString& name, int height, TFontStyles style, TColor color) {
  TFont font;
  font.SetName(name);
  font.SetHeight(height);
  font.SetStyle(style);
  font.SetColor(color);
  return font;
}

Qt::Alignment ToQtAlignment(TAlignment alignment, TTextLayout layout) {
  Qt::Alignment result;
  switch (alignment) {
    case taLeftJustify: result = Qt::AlignLeft; break;
    case taRightJustify: result = Qt::AlignRight; break;
    case taCenter: result = Qt::AlignHCenter; break;
  }
  switch (layout) {
    case tlTop: result |= Qt::AlignTop; break;
    case tlCenter: result |= Qt::AlignVCenter; break;
    case tlBottom: result |= Qt::AlignBottom; break;
  }
  return result;
}

QList<QWidget*> ChildControls(const QWidget& widget) {
  QList<QWidget*> controls;
  for (QObject* object : widget.children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child != nullptr && !child->isWindow() && dynamic_cast<TControl*>(child) != nullptr)
      controls.append(child);
  }
  return controls;
}

TControl* AsControl(QWidget* widget) { return dynamic_cast<TControl*>(widget); }

TGraphicControl::TGraphicControl(QWidget* parent)
    : QWidget(parent), TControl(clBtnFace, true, taLeftJustify, bsNone) {
  ApplyColorAndFont();
}

void AlignControls(QWidget& container) {
  const TControl* own = AsControl(&container);
  const QRect area = own != nullptr ? own->AlignRect() : container.rect();
  int left = area.x();
  int top = area.y();
  int right = area.x() + area.width();
  int bottom = area.y() + area.height();

  const QList<QWidget*> children = ChildControls(container);
  const auto aligned = [&children](TAlign align) {
    QList<QWidget*> found;
    for (QWidget* child : children) {
      if (!child->isHidden() && AsControl(child)->Align() == align) found.append(child);
    }
    return found;
  };
  const auto sorted = [](QList<QWidget*> controls, auto before) {
    std::stable_sort(controls.begin(), controls.end(), before);
    return controls;
  };
  const auto place = [](QWidget* child, int x, int y, int width, int height) {
    child->setGeometry(x, y, std::max(0, width), std::max(0, height));
  };

  for (QWidget* child : sorted(aligned(alTop), [](QWidget*a, QWidget*b) { return a->y() < b->y(); })) {
    place(child, left, top, right - left, child->height());
    top += child->height();
  }
  for (QWidget* child : sorted(aligned(alBottom), [](QWidget*a, QWidget*b) {
         return a->y() + a->height() > b->y() + b->height();
       })) {
    place(child, left, bottom - child->height(), right - left, child->height());
    bottom -= child->height();
  }
  for (QWidget* child : sorted(aligned(alLeft), [](QWidget*a, QWidget*b) { return a->x() < b->x(); })) {
    place(child, left, top, child->width(), bottom - top);
    left += child->width();
  }
  for (QWidget* child : sorted(aligned(alRight), [](QWidget*a, QWidget*b) {
         return a->x() + a->width() > b->x() + b->width();
       })) {
    place(child, right - child->width(), top, child->width(), bottom - top);
    right -= child->width();
  }
  for (QWidget* child : aligned(alClient)) place(child, left, top, right - left, bottom - top);
}
