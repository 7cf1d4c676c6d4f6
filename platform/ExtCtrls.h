#pragma once

#include "platform/Controls.h"

#include <QImage>
#include <QWidget>

/** Edge of a panel: none, sunk into the surface, standing out of it, or a flat band. */
enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

/**
 * A container with a 3-D edge and an optional centred caption. The edge is the outer bevel, then
 * BorderWidth pixels of the panel's colour, then the inner bevel; InnerRect is what lies inside.
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

/** A picture. Unless stretched or centred it is drawn at the top left corner, cut off where the control ends.
 */
class TImage : public QWidget, public TControl {
  Q_OBJECT
public:
  explicit TImage(QWidget* parent);

  QWidget& Widget() override { return *this; }
  const QWidget& Widget() const override { return *this; }
  bool Windowed() const override { return false; }

  const QImage& Picture() const { return picture_; }
  void SetPicture(const QImage& picture);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);

  /** Where the picture lands in the control's coordinates (also for the print renderer). */
  QRect PictureRect() const;

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QImage picture_;
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
