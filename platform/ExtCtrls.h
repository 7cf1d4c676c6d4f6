#pragma once

// A form's panels, pictures, shapes, bevels and radio groups, which the print library also puts on paper.

#include "platform/Controls.h"
#include "platform/StdCtrls.h"

#include <QImage>
#include <QWidget>
#include <vector>

class QButtonGroup;

/** Edge of a panel: none, sunk into the surface, standing out of it, or a flat band. */
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

/**
 * A container with a 3-D edge and an optional centred caption. The edge is a one-pixel frame in the window
 * frame colour when BorderStyle is bsSingle, then the outer bevel, then BorderWidth pixels of the panel's
 * colour, then the inner bevel; InnerRect is what lies inside.
 */
class TCustomPanel : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TCustomPanel(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }

  TPanelBevel BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TPanelBevel bevel);
  TPanelBevel BevelInner() const { return bevelInner_; }
  void SetBevelInner(TPanelBevel bevel);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int width);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);

  /** The area inside the edges, in the panel's coordinates: where a control that fills the panel goes. */
  QRect InnerRect() const;
  QRect AlignRect() const override { return InnerRect(); }

protected:
  void paintEvent(QPaintEvent* event) override;
  void CaptionChanged() override { update(); }
  void AlignmentChanged() override { update(); }
  void BorderStyleChanged() override { update(); }

private:
  TPanelBevel bevelOuter_ = bvRaised;
  TPanelBevel bevelInner_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
};

/** The panel of a form; the library's own panels derive from TCustomPanel and so are no TPanel. */
class TPanel : public TCustomPanel {
  Q_OBJECT
public:
  explicit TPanel(QWidget* parent);
};

/**
 * A picture: a bitmap, a recorded metafile or an icon (TPicture). Unless stretched or centred it is drawn at
 * its own size at the top left corner, cut off where the control ends.
 */
class TImage : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TImage(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }

  const TPicture& Picture() const { return picture_; }
  void SetPicture(const TPicture& picture);
  /** Shows a bitmap. */
  void SetPicture(const QImage& bitmap) { SetPicture(TPicture(bitmap)); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);

  /** Where the picture lands in the control's coordinates (also for the print renderer). */
  QRect PictureRect() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TPicture picture_;
  bool stretch_ = false;
  bool center_ = false;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

/** A geometric figure drawn with a pen and filled with a brush (also used as a ruled line). */
class TShape : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TShape(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }

  TShapeType Shape() const { return shape_; }
  void SetShape(TShapeType shape);
  const TPen& Pen() const { return pen_; }
  void SetPen(const TPen& pen);
  const TBrush& Brush() const { return brush_; }
  void SetBrush(const TBrush& brush);

  /**
   * The figure's bounding rectangle in the control's coordinates, right and bottom edges excluded:
   * inset by half the pen width, and squared and centred for the square and circle shapes.
   */
  QRect FigureRect() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TShapeType shape_ = stRectangle;
  TPen pen_;
  TBrush brush_;
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

/** A decorative 3-D line or frame. */
class TBevel : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TBevel(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape shape);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle style);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

/**
 * Draws a 3-D edge of the given width just inside a rectangle (right and bottom edges excluded): top and
 * left in one colour, bottom and right in the other. Returns the rectangle inside the edge.
 */
QRect DrawFrame3D(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight,
                  int width);

/**
 * What radio groups share (plain and data radio groups): a group box holding one radio button per item, in
 * Columns columns filled top to bottom. The buttons are parts of the group, not controls of the form: the
 * group draws and prints its items itself. ItemIndex is -1 while no item is picked; Click is emitted when
 * the user picks one.
 */
class TCustomRadioGroup : public TCustomGroupBox {
  Q_OBJECT
public:
  QStringList Items() const { return items_; }
  /** Replaces the items; ItemIndex goes back to -1. */
  void SetItems(const QStringList& items);
  int ItemIndex() const { return itemIndex_; }
  /** Picks an item (-1 or an index out of range: none). */
  void SetItemIndex(int index);
  int Columns() const { return columns_; }
  void SetColumns(int columns);
  /** The radio button of an item, or nullptr. */
  QRadioButton* Button(int index) const;

Q_SIGNALS:
  void Click();

protected:
  explicit TCustomRadioGroup(QWidget* parent);
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  /** Called when the user picks an item; the plain group takes it as its ItemIndex. */
  virtual void ItemPicked(int index);

private:
  void ArrangeButtons();

  QStringList items_;
  std::vector<QRadioButton*> buttons_;
  QButtonGroup* group_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

class TRadioGroup : public TCustomRadioGroup {
  Q_OBJECT
public:
  explicit TRadioGroup(QWidget* parent);
};
