#include "print/engine/StockWidgets.h"

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Screen.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

#include <QDialog>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QRubberBand>
#include <QScrollArea>
#include <QScrollBar>
#include <QSizeGrip>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <typeinfo>

namespace {
// The nearest of Qt's own classes the widget is made from: a class of the program's own made from a plain
// widget or frame is a container like them, one made from a button is a button.
const char* QtClassOf(const QWidget& widget) {
  for (const QMetaObject* meta = widget.metaObject(); meta != nullptr; meta = meta->superClass()) {
    const char* name = meta->className();
    if (name[0] == 'Q' && name[1] >= 'A' && name[1] <= 'Z') return name;
  }
  return "";
}

bool QtClassIs(const QWidget& widget, const char* name) { return std::strcmp(QtClassOf(widget), name) == 0; }

bool IsPlainFrame(const QWidget& widget) { return QtClassIs(widget, "QFrame"); }

bool IsPlainWidget(const QWidget& widget) {
  return QtClassIs(widget, "QWidget") || QtClassIs(widget, "QDialog");
}

// The program's containers whose stock children are content; its other controls' children are their parts.
bool HoldsStockWidgets(QWidget& parent) {
  if (dynamic_cast<TCustomRadioGroup*>(&parent) != nullptr) return false;
  return dynamic_cast<TForm*>(&parent) != nullptr || dynamic_cast<TCustomPanel*>(&parent) != nullptr ||
         dynamic_cast<TCustomGroupBox*>(&parent) != nullptr;
}

// Whether a developer's layout places widgets in the window; the layouts inside Qt's own widgets (a view's
// scroll bars) do not count, and the program's own forms place their controls themselves.
bool PlacedByLayouts(QWidget& window) {
  if (AsControl(&window) != nullptr) return false;
  for (const QLayout* layout : window.findChildren<QLayout*>()) {
    const QWidget* holder = layout->parentWidget();
    if (holder == nullptr || AsControl(const_cast<QWidget*>(holder)) != nullptr) continue;
    if (IsPlainWidget(*holder) || IsPlainFrame(*holder) || qobject_cast<const QGroupBox*>(holder) != nullptr)
      return true;
  }
  return false;
}
}  // namespace

bool IsScreenFurniture(QWidget* widget) {
  return IsStock<QScrollBar>(widget) || IsStock<QHeaderView>(widget) || IsStock<QSplitterHandle>(widget) ||
         IsStock<QSizeGrip>(widget) || IsStock<QMenuBar>(widget) || IsStock<QToolBar>(widget) ||
         IsStock<QStatusBar>(widget) || IsStock<QRubberBand>(widget);
}

bool IsStockLine(QWidget* widget) {
  if (AsControl(widget) != nullptr || !IsPlainFrame(*widget)) return false;
  const QFrame::Shape shape = static_cast<QFrame*>(widget)->frameShape();
  return shape == QFrame::HLine || shape == QFrame::VLine;
}

bool IsStockContainer(QWidget* widget) {
  if (AsControl(widget) != nullptr) return false;
  if (qobject_cast<QGroupBox*>(widget) != nullptr || qobject_cast<QTabWidget*>(widget) != nullptr ||
      qobject_cast<QStackedWidget*>(widget) != nullptr || qobject_cast<QScrollArea*>(widget) != nullptr ||
      qobject_cast<QSplitter*>(widget) != nullptr || qobject_cast<QMainWindow*>(widget) != nullptr)
    return true;
  if (!IsPlainWidget(*widget) && !IsPlainFrame(*widget)) return false;
  // A class made from a plain widget that paints itself (a chart) and holds nothing is captured instead.
  const std::type_info& type = typeid(*widget);
  const bool ownClass = type != typeid(QWidget) && type != typeid(QFrame) && type != typeid(QDialog);
  if (!ownClass) return true;
  const QList<QWidget*> inside = widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  return std::any_of(inside.begin(), inside.end(), [](const QWidget* child) { return !child->isWindow(); });
}

std::vector<TPrintedChild> PrintedChildren(QWidget& parent) {
  std::vector<TPrintedChild> children;
  const auto page = [&parent, &children](QWidget* current) {
    if (current != nullptr) children.push_back({current, current->mapTo(&parent, QPoint(0, 0))});
  };
  if (AsControl(&parent) == nullptr) {
    // Any other stock widget prints whole by its rule or its picture: its children are its parts.
    if (!IsStockContainer(&parent)) return children;
    if (auto* tabs = qobject_cast<QTabWidget*>(&parent)) {
      page(tabs->currentWidget());
      return children;
    }
    if (auto* stack = qobject_cast<QStackedWidget*>(&parent)) {
      page(stack->currentWidget());
      return children;
    }
    if (auto* area = qobject_cast<QScrollArea*>(&parent)) {
      if (QWidget* contents = area->widget())
        children.push_back({contents, area->viewport()->mapTo(&parent, QPoint(0, 0))});
      return children;
    }
  }
  const bool stockToo = AsControl(&parent) == nullptr || HoldsStockWidgets(parent);
  for (QObject* object : parent.children()) {
    auto* child = qobject_cast<QWidget*>(object);
    if (child == nullptr || child->isWindow()) continue;
    if (AsControl(child) != nullptr || stockToo) children.push_back({child, child->pos()});
  }
  return children;
}

bool HiddenFromPrint(const QWidget& widget) {
  if (AsControl(const_cast<QWidget*>(&widget)) != nullptr) return widget.isHidden();
  // A window printed is printed whether or not it is on the screen: a report's window seldom is.
  if (widget.isWindow()) return false;
  return widget.isHidden() && widget.testAttribute(Qt::WA_WState_ExplicitShowHide);
}

TFont StockFont(const QWidget& widget, QPalette::ColorRole textRole) {
  TFont font = FromQFont(widget.font());
  font.SetColor(StockColor(widget, textRole));
  return font;
}

TColor StockColor(const QWidget& widget, QPalette::ColorRole role) {
  return FromQColor(widget.palette().color(role));
}

TAlignment StockAlignment(Qt::Alignment alignment, Qt::LayoutDirection direction) {
  const Qt::Alignment horizontal = QStyle::visualAlignment(direction, alignment) & Qt::AlignHorizontal_Mask;
  if ((horizontal & Qt::AlignRight) != 0) return taRightJustify;
  if ((horizontal & Qt::AlignHCenter) != 0) return taCenter;
  return taLeftJustify;
}

QString WithoutMnemonic(const QString& text) {
  QString shown;
  shown.reserve(text.size());
  for (int at = 0; at < text.size(); ++at) {
    if (text.at(at) == QLatin1Char('&')) {
      if (at + 1 < text.size() && text.at(at + 1) == QLatin1Char('&')) {
        shown += QLatin1Char('&');
        ++at;
      }
      continue;
    }
    shown += text.at(at);
  }
  return shown;
}

namespace {
// Where no window can be seen, Qt's platform warns that it cannot pass a window's size limits on to a window
// system each time a layout sets them; for a window shown only to be laid out there is nothing to pass on.
// The warning is left out while such a window lives; every other message goes where it went.
constexpr char SizeHintsWarning[] = "This plugin does not support propagateSizeHints()";
QtMessageHandler previousHandler = nullptr;
int quietWindows = 0;

void QuietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && message == QLatin1String(SizeHintsWarning)) return;
  if (previousHandler != nullptr) previousHandler(type, context, message);
}
}  // namespace

TLaidOutScope::TLaidOutScope(QWidget& widget) {
  QWidget* window = widget.window();
  if (window->isVisible() || !PlacedByLayouts(*window)) return;
  window_ = window;
  wasOffScreen_ = window->testAttribute(Qt::WA_DontShowOnScreen);
  if (!WindowsCanBeSeen() && quietWindows++ == 0) previousHandler = qInstallMessageHandler(QuietHandler);
  quiet_ = !WindowsCanBeSeen();
  window->setAttribute(Qt::WA_DontShowOnScreen, true);
  window->show();
}

TLaidOutScope::~TLaidOutScope() {
  if (quiet_ && --quietWindows == 0) qInstallMessageHandler(previousHandler);
  if (window_ == nullptr) return;
  window_->hide();
  window_->setAttribute(Qt::WA_DontShowOnScreen, wasOffScreen_);
}
