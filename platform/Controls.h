#pragma once

// The ground every control of a form stands on: the properties both the program and the print renderer read.

#include "platform/Graphics.h"

#include <QList>
#include <QPalette>
#include <QRect>
#include <QWidget>
#include <QString>

/** Horizontal placement of a control's text. */
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

/** Vertical placement of a label's text. */
enum TTextLayout { tlTop, tlCenter, tlBottom };

/**
 * Where a control sits in its container: at its own position (alNone), or against one edge of the container's
 * AlignRect, taking that edge's full length, or filling what the other aligned controls leave (alClient).
 */
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

/** Border of a control (bsNone, bsSingle) or of a form (all values). */
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

/** The result a modal window ends with; buttons carry one to close their form. */
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

/**
 * The properties every control of a form shares, as the program and its print renderer read them.
 * Each control class derives from its Qt widget and from TControl; the renderer finds the properties
 * with dynamic_cast<const TControl*> on the widgets it walks.
 *
 * Colour and font follow the enclosing control while ParentColor / ParentFont are set (the default for
 * fonts): Color() and Font() then answer the parent's values, and setting either clears the flag.
 */
class TControl {
public:
  virtual ~TControl() = default;
  TControl(const TControl&) = delete;
  TControl& operator=(const TControl&) = delete;

  /** The Qt widget that is this control. */
  virtual QWidget& Widget() = 0;
  virtual const QWidget& Widget() const = 0;

  QString Name() const;
  void SetName(const QString& name);

  int Left() const;
  int Top() const;
  int Width() const;
  int Height() const;
  void SetLeft(int left);
  void SetTop(int top);
  void SetWidth(int width);
  void SetHeight(int height);
  void SetBounds(int left, int top, int width, int height);

  /** The control's own visibility flag, true even while its form has never been shown. */
  bool Visible() const;
  void SetVisible(bool visible);
  bool Enabled() const;
  void SetEnabled(bool enabled);

  /** Background colour; the parent's colour while ParentColor is set. */
  TColor Color() const;
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool parentColor);

  /** Text font; the parent's font while ParentFont is set. */
  TFont Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  /** A transparent control paints no background, so what lies under it shows through. */
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle borderStyle);
  /** A number the program may attach to the control; the platform never reads it. */
  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  /**
   * The edge of its container the control keeps to; the container places its aligned controls again
   * whenever it is resized or one of them changes its alignment or bounds.
   */
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  /** The area of this control its aligned child controls share, in its own coordinates. */
  virtual QRect AlignRect() const;

  /** The nearest enclosing widget that is a control, or nullptr. */
  const TControl* ParentControl() const;

  /**
   * Whether the control is a window of its own; labels, shapes, images and bevels are not: their parent
   * paints them along with itself.
   */
  virtual bool Windowed() const { return true; }

protected:
  TControl(TColor color, bool parentColor, TAlignment alignment, TBorderStyle borderStyle);

  /** The palette role the control's Color fills (Window for most, Base for text fields, Button for buttons).
   */
  virtual QPalette::ColorRole BackgroundRole() const { return QPalette::Window; }
  /** Re-applies colour and font to the widget; controls call it once their widget is constructed. */
  void ApplyColorAndFont();

  virtual void CaptionChanged() {}
  virtual void AlignmentChanged() {}
  virtual void TransparentChanged() {}
  virtual void BorderStyleChanged() {}
  virtual void FontChanged() {}

private:
  TColor color_;
  bool parentColor_;
  TFont font_;
  bool parentFont_ = true;
  QString caption_;
  TAlignment alignment_;
  bool transparent_ = false;
  TBorderStyle borderStyle_;
  int tag_ = 0;
  TAlign align_ = alNone;
};

/**
 * A control without a window of its own (the framework's graphic control): its parent paints it along with
 * itself, and it takes no keyboard focus.
 */
class TGraphicControl : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TGraphicControl(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }
};

/**
 * Places the aligned child controls of a container inside its AlignRect: top-aligned ones from the top down
 * in the order of their positions, then bottom, left and right ones, then alClient ones over what is left.
 * Hidden controls take no room.
 */
void AlignControls(QWidget& container);

/** A font description in one expression: face, height in pixels (negative: character height), styles, colour.
 */
TFont MakeFont(const QString& name, int height, TFontStyles style = 0, TColor color = clWindowText);

/**
 * The program's own controls among a widget's children, in creation order (the window's child order); a
 * control's other children (a memo's viewport, a field's buttons) are parts of it and not listed.
 */
QList<QWidget*> ChildControls(const QWidget& widget);

/** The control behind a widget, or nullptr when the widget is none of the program's controls. */
TControl* AsControl(QWidget* widget);

/** The Qt alignment flags of a horizontal alignment and a vertical layout. */
Qt::Alignment ToQtAlignment(TAlignment alignment, TTextLayout layout = tlTop);
