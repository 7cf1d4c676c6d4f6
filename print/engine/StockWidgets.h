#pragma once

// What the print rules read from Qt's stock widgets: their texts, fonts, colours and laid-out places.

#include "platform/Controls.h"
#include "platform/Graphics.h"
#include "platform/Types.h"

#include <QPalette>
#include <QPoint>
#include <QPointer>
#include <QWidget>
#include <vector>

// What the renderer knows of Qt's stock widgets, apart from how they are drawn: which are one of Qt's own
// rather than one of the program's controls built on them, which children a walk visits, and the font,
// colour and alignment a widget shows in the terms the page device takes.

/** A widget of Qt's class Widget that is not one of the program's controls (most of those are built on one).
 */
template <typename Widget>
bool IsStock(QWidget* widget) {
  return AsControl(widget) == nullptr && qobject_cast<Widget*>(widget) != nullptr;
}

/**
 * Scroll bars, a view's headers on their own, splitter handles, size grips, menu, tool and status bars: they
 * serve the screen only.
 */
bool IsScreenFurniture(QWidget* widget);
/** A stock frame drawn as a horizontal or vertical line. */
bool IsStockLine(QWidget* widget);
/**
 * A stock widget whose children are the content: group boxes, tab widgets and stacks (their current page),
 * scroll areas (their contents), splitters, main windows, plain widgets and frames, and the developer's own
 * classes made from a plain widget or frame when they hold other widgets (one that holds none paints
 * itself, and is captured).
 */
bool IsStockContainer(QWidget* widget);

/** A child a walk visits and where its top-left corner lies in the parent, in screen pixels. */
struct TPrintedChild {
  QWidget* Widget = nullptr;
  QPoint Position;
};

/**
 * The children a walk of the parent visits, in the window's order: the program's controls, and the stock
 * widgets placed on a stock container or on one of the program's forms, panels or group boxes; any other
 * stock widget has none, its children being its parts. A tab widget
 * or stack gives its current page, a scroll area its contents at the top-left of its view (as scrolled to the
 * start). The parts a control is made of (a memo's viewport, a spin box's editor) are not children here.
 */
std::vector<TPrintedChild> PrintedChildren(QWidget& parent);

/**
 * Whether the program hid the widget. The program's controls keep a visibility of their own; a stock widget
 * of a window never shown counts as shown unless it was hidden on purpose (a stack's other pages are), and
 * a stock window itself prints whether it is on the screen or not.
 */
bool HiddenFromPrint(const QWidget& widget);

/** The widget's font as the page device takes it, coloured with the palette's role for its text. */
TFont StockFont(const QWidget& widget, QPalette::ColorRole textRole = QPalette::WindowText);
/** The colour the widget's palette gives a role. */
TColor StockColor(const QWidget& widget, QPalette::ColorRole role);
/** A text's horizontal alignment in the framework's terms (right-to-left layouts mirror it as Qt does). */
TAlignment StockAlignment(Qt::Alignment alignment, Qt::LayoutDirection direction = Qt::LeftToRight);
/** A button or group caption as it reads: "&&" is an ampersand, a single "&" marks the shortcut. */
QString WithoutMnemonic(const QString& text);

/**
 * Lays out a window that was never shown for as long as it lives: Qt places a layout's widgets only once
 * they are shown, so the window is shown as it would be on screen, but not on the screen, and hidden again
 * afterwards. Windows already shown, the program's own forms, and windows whose widgets no layout of the
 * developer's places are left as they are.
 */
class TLaidOutScope {
public:
  explicit TLaidOutScope(QWidget& widget);
  ~TLaidOutScope();
  TLaidOutScope(const TLaidOutScope&) = delete;
  TLaidOutScope& operator=(const TLaidOutScope&) = delete;

private:
  QPointer<QWidget> window_;
  bool wasOffScreen_ = false;
  /** Qt's warning about size limits no window system takes is left out while the window lives. */
  bool quiet_ = false;
};
