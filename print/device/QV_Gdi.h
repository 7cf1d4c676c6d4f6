#pragma once

// The page device of a print job: each page drawn in printer pixels and recorded to a page file of its own.

#include "platform/Graphics.h"
#include "platform/Printers.h"
#include "platform/RecordPlayer.h"
#include "platform/Types.h"
#include "print/device/QV_PageFiles.h"
#include "print/device/WordWrap.h"

#include <QBrush>
#include <QImage>
#include <QPicture>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class DrawingContext;
enum class TTextAlign;
class PagePicture;
class QIODevice;
class TAtomicFile;
class TPrintDialog1;
class TRecordedPages;

/** The logical font a page font is made from, in the layout of the desktop's logical-font record. */
struct TFontSpec {
  int Height = 0;
  int Width = 0;
  int Escapement = 0;
  int Orientation = 0;
  int Weight = 0;
  unsigned char Italic = 0;
  unsigned char Underline = 0;
  unsigned char StrikeOut = 0;
  unsigned char CharSet = 1;
  unsigned char OutPrecision = 0;
  unsigned char ClipPrecision = 0;
  unsigned char Quality = 0;
  unsigned char PitchAndFamily = 0;
  /** At most 31 characters, as the record holds them. */
  QString FaceName;
};

/** What a memo control prints: its lines, alignment (0 left, 1 right, 2 centre), font and border. */
struct TMemoContent {
  QStringList Lines;
  int Alignment = 0;
  TFont Font;
  bool SingleBorder = false;
};

/** The kinds of picture an image control can hold, as DrawPicture tells them apart. */
enum class TPictureKind { Bitmap, Metafile, Icon };

/** A picture to print: a bitmap, a recorded picture, or an icon (which is never printed). */
struct TPictureContent {
  TPictureKind Kind = TPictureKind::Bitmap;
  QImage Bitmap;
  QPicture Metafile;
};

/**
 * The page device of a print job. It records every page as a picture in a page file of its own (or, with
 * the HTML target, writes one HTML file), draws in printer pixels of the selected printer with the origin
 * at the top-left of the printable area, and keeps the printer canvas's font and brush equal to its own so
 * that text measured with the canvas matches what is drawn. Afterwards the pages are printed (PrintPages)
 * or shown by the preview, which finds them by their file names.
 *
 * Operations marked "(text-only: skipped)" draw nothing on a printer whose name begins with "Generic".
 * Drawing never reports failure; without an open page it draws nothing.
 */
class TGdi {
public:
  /** A device for the target; forces the printer to portrait and takes the text box width from it. */
  explicit TGdi(TSendTo target);
  ~TGdi();
  TGdi(const TGdi&) = delete;
  TGdi& operator=(const TGdi&) = delete;

  /** Sets the printer's orientation, nothing else. */
  void SetOrientation(TPrinterOrientation orientation);
  /** The number of the page being recorded; 0 before the first page. */
  int PageNumber() const { return pageCount_; }
  /** The drawing context of the page being recorded; nullptr between pages and with the HTML target. */
  DrawingContext* Handle() const { return context_.get(); }

  TSendTo Target() const { return target_; }
  /** The file the current page is saved to when it closes. */
  QString PageFileName() const;
  double ScaleX() const { return scaleX_; }
  double ScaleY() const { return scaleY_; }
  const TFontSpec& FontSpec() const { return fontSpec_; }
  QString FontName() const { return fontName_; }
  int FontHeight() const { return fontHeight_; }
  bool Bold() const { return bold_; }
  bool Italic() const { return italic_; }
  bool Underline() const { return underline_; }
  TColor TextColor() const { return textColor_; }
  int PenWidth() const { return penWidth_; }
  TColor PenColor() const { return penColor_; }
  /** The fill brush FillBox uses. */
  const QBrush& FillBrush() const { return brush_; }
  /** The box word-wrapped text is placed in. */
  TRect TextBox() const { return Rect(boxLeft_, boxTop_, boxRight_, boxBottom_); }

  // Page life cycle
  // ------------------------------------------------------------------------------------------

  /** Deletes the page files of the target's kind and resets the page count. */
  void ClearPages();
  /**
   * The pages recorded since BeginDocument, with the job's settings; null before it and for the HTML target.
   * A preview given them shows and prints exactly these pages.
   */
  std::shared_ptr<const TRecordedPages> RecordedPages() const { return recorded_; }
  /**
   * Opens page 1 (the HTML file for the HTML target) and writes the job's nine settings to the settings
   * store. With the HTML target a blank file name fails with ETarnvale "HTML filename not specified <name>".
   * A store that cannot take the settings (a full disk) does not stop the job: the store stays as it was,
   * this run goes on with the job's settings, and SettingsProblem() says why they were not saved.
   */
  void BeginDocument(TColor backgroundColor, const QString& heading, const QString& htmlFileName,
                     double zoomFactor);
  /** Why the job's settings could not be saved by BeginDocument; empty when they were. */
  QString SettingsProblem() const { return settingsProblem_; }
  /** Closes the current page (writing its file) and opens the next; nothing with the HTML target. */
  void NewPage();
  /**
   * Closes the current page: its picture is saved to its page file (or the HTML file is finished), and
   * every page of the job is in its file when it returns.
   */
  void EndPage();
  /**
   * Plays the recorded pages onto the printer as one document, one sheet per page, in the orientation they
   * were recorded in, with the print status dialog when showStatus is set (its Abort stops after the current
   * page and nothing is sent). Does nothing while the printer is already printing or when no page was
   * recorded. A page whose file is gone, damaged or not the page recorded fails with ETarnvale naming it,
   * and nothing of the document is sent.
   *
   * The options choose the copies, their order and the pages (a selection as the preview's print options
   * take it; one that is no selection fails with EConvertError before anything prints). A system queue gets
   * every page once with the options, and makes the copies and picks the pages itself; into a PDF file the
   * chosen pages are played in the order the copies come out (1 2 3 1 2 3 collated, 1 1 2 2 3 3 not). A
   * selection of no recorded page prints nothing. Returns the number of recorded pages the document holds
   * (0 when nothing was sent).
   */
  int PrintPages(bool showStatus, const TPrintJobOptions& options = TPrintJobOptions());
  /** With an open HTML file: writes the line "<TD>" and the text (HTML special characters escaped). */
  void WriteHtmlCell(const QString& text);

  // Objects ------------------------------------------------------------------------------------------------

  void CreatePageFont(const QString& name, int height, bool bold, bool italic, bool underline,
                      int escapement);
  void SetFont(const QString& name, int height);
  void SetFontStyled(const QString& name, int height, bool bold, bool italic, bool underline);
  void SetBold(bool bold);
  /**
   * The font of a screen control, its height scaled to the printer with ScaleX; also sets the text colour.
   */
  void SelectFont(const TFont& font);
  /** Sets the canvas font, then the page font from it; actualHeight receives the canvas font's height. */
  void SetPrinterFont(const QString& name, int height, int& actualHeight, bool bold, bool italic,
                      bool underline);
  /** Like SetPrinterFont for a screen font; "MS Sans Serif" and "System" print as "Arial". */
  void SelectMappedFont(const TFont& font, bool bold, bool italic, bool underline);
  /** A negative colour becomes black. */
  void SetTextColor(TColor color);
  /** Pen style 0 solid, 1 dash, 2 dot, 3 dash-dot, 4 dash-dot-dot, anything else solid. */
  void SetPen(int style, int width, TColor color);
  void SetSolidPen(int width, TColor color);
  void SetPenColor(TColor color);
  /** Brush kind 0 solid, 1 hollow, 2 hatched with hatch 0 to 5 (horizontal, vertical, \, /, +, x). */
  void SetBrush(int kind, TColor color, int hatch);
  void SetBrushFrom(const TBrush& brush);
  void SetTransparent();
  void SetTextBox(int left, int top, int right, int bottom);

  // Shapes and pictures ------------------------------------------------------------------------------------

  /** Narrows the clip region (text-only: skipped). */
  void ClipRect(int left, int top, int right, int bottom);
  /** Clip region back to (0, 0)-(32000, 32000). */
  void ResetClip();
  /** Fills with the fill brush, no outline (text-only: skipped). */
  void FillBox(const TRect& rect);
  /** (text-only: skipped) */
  void Rectangle(int left, int top, int right, int bottom);
  /** (text-only: skipped) */
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Ellipse(int left, int top, int right, int bottom);
  /** From the first point to the second, leaving out the end pixel (text-only: skipped). */
  void Line(int x1, int y1, int x2, int y2);
  void MoveTo(int x, int y);
  /** (text-only: skipped) */
  void LineTo(int x, int y);
  /**
   * Frame edges of kinds 0 (none) to 6, drawn top, bottom, left, right with the current pen as one-pixel
   * lines; the last line of the bottom and right edges lies on bottom and right (text-only: skipped).
   */
  void FrameBox(int left, int top, int right, int bottom, int leftKind, int topKind, int rightKind,
                int bottomKind);
  /** Optionally fills rect, then frames the box with kind 2 on every edge (text-only: skipped). */
  void FillAndFrame(int left, int top, int right, int bottom, bool fill, const TRect& rect);
  /** Plays a recorded picture stretched into the rectangle. */
  void PlayMetafile(const QPicture& metafile, const TRect& rect);
  /**
   * An icon is left out, a recorded picture played into rect, a bitmap stretched onto the box (text-only:
   * skipped).
   */
  void DrawPicture(const TPictureContent& picture, int left, int top, int right, int bottom,
                   const TRect& rect);
  /** Stretches the bitmap onto (x, y, width, height); both 0 means its screen size scaled to the printer. */
  void DrawBitmap(const QImage& bitmap, int x, int y, int width, int height);

  // Structure ----------------------------------------------------------------------------------------------

  /**
   * Whether the pages say what each thing drawn is (a tagged PDF's structure); off until set. Without it
   * the calls below record nothing.
   */
  bool Tagged() const { return tagged_; }
  void SetTagged(bool tagged) { tagged_ = tagged; }
  /**
   * Begins an element of the document's structure: what is drawn until EndElement belongs to it, except the
   * frames, rules and fills, which belong to the paper (inside a figure they are its picture). Elements left
   * open when a page closes end there.
   */
  void BeginElement(const TStructureMark& mark);
  void EndElement();
  /** What is drawn until EndArtifact belongs to the paper, not the content. */
  void BeginArtifact(TArtifactKind kind);
  void EndArtifact();
  /** A key no element of this document had yet, for one that goes on over pages (TStructureMark::Key). */
  quint32 NewElementKey() { return ++elementKeys_; }

  // Text ---------------------------------------------------------------------------------------------------

  /** Draws at most the first 255 characters with (x, y) as reference point under the current alignment. */
  void TextAt(int x, int y, const QString& text);
  /** Makes each web or mail address in a text drawn at (x, y) a link over its words (FindAddresses). */
  void LinkAddresses(int x, int y, const QString& text);
  /** An entry of the document's outline leading to (x, y) of this page, nested at the level. */
  void OutlineEntry(int x, int y, int level, const QString& title);
  /**
   * Word-wrapped text in the box rect, one line every lineHeight pixels; singleLine keeps the first line
   * only. A word wider than the box is cut, or kept whole on its line, as longWord says.
   */
  void WrapText(int x, int y, int lineHeight, const TRect& rect, const QString& text, int alignment,
                bool singleLine, TLongWord longWord = TLongWord::Cut);
  /** The memo's lines, tabs expanded, one per printed line, aligned as the memo is. */
  void MemoLines(int x, int y, int lineHeight, const TRect& rect, const TMemoContent& memo);
  /** One line of text placed in a box between x and right, with optional fill, frame and colon. */
  void AlignedText(int x, int y, int right, int bottom, bool colon, const TRect& rect, const QString& text,
                   int alignment, bool fill, bool frame);
  /** Brush, font and text colour set-up, then AlignedText when a font is given and printText is set. */
  void TextBox(int brushKind, TColor brushColor, int hatch, const TFont* font, bool colon, int x, int y,
               int right, int bottom, const TRect& rect, TColor textColor, const QString& text, int alignment,
               bool printText, bool fill, bool frame);
  /** A memo control with its white box, clipped to the box, and its border when it has one. */
  void MemoBox(const TMemoContent& memo, int left, int top, int right, int bottom, const TRect& rect,
               bool printText, bool fill, bool frame);

  /** The header band: fill, frame and three texts (macros expanded) at the top of the page. */
  void DrawHeaderBand(bool enabled, const TFont& font, int leftBorder, int rightBorder,
                      const QString& leftText, const QString& centerText, const QString& rightText, int top,
                      bool filled, bool outlined);
  /** The footer band: fill, frame and the bold centred text (macros expanded). */
  void DrawFooterBand(const TFont& font, int leftBorder, int rightBorder, const QString& text, int top,
                      bool filled, bool outlined, const TBrush& brush);
  /** A footer corner text in Arial 12 screen pixels scaled to the printer, at the left or right border. */
  void DrawFooterCornerText(int border, int top, const QString& text, bool rightSide);

private:
  void OpenPage();
  /** EndPage, the page's file left to be written while the next page is drawn. */
  void ClosePage();
  void SetUpSurface();
  void PlayPagesToPrinter(const std::vector<int>& pages, TPrintDialog1* status);
  int CanvasTextWidth(const QString& text) const;
  double CanvasFontScale() const;
  void DrawCentredBandText(int leftBorder, int right, int top, int height, const QString& text);
  /**
   * Draws a band text that shows the page count (PageCountMark) with (x, y) as the point its alignment names,
   * since its width is known only when the page plays; false, drawing nothing, for any other text.
   */
  bool CountedTextAt(int x, int y, const QString& text, TTextAlign align);
  void FrameEdge(bool horizontal, int base, int from, int to, int kind, bool farSide);
  /** Whether a frame, rule or fill drawn now is to be marked as the paper's, being inside an element. */
  bool ShapesNeedMarking() const;

  std::unique_ptr<TAtomicFile> htmlStream_;
  TSendTo target_;
  std::shared_ptr<TRecordedPages> recorded_;
  int pageCount_ = 0;
  QString settingsProblem_;
  double scaleX_ = 1.0;
  double scaleY_ = 1.0;
  TFontSpec fontSpec_;
  int penWidth_ = 1;
  TColor penColor_ = clBlack;
  int fontHeight_ = 0;
  TColor textColor_ = clBlack;
  bool bold_ = false;
  bool underline_ = false;
  bool italic_ = false;
  QString fontName_ = QStringLiteral("Arial");
  int normalWeight_ = 400;
  int boldWeight_ = 700;
  QBrush brush_{Qt::white};
  std::unique_ptr<PagePicture> page_;
  std::unique_ptr<DrawingContext> context_;
  int boxLeft_ = 0;
  int boxRight_ = 0;
  int boxBottom_ = 0;
  int boxTop_ = 0;
  bool tagged_ = false;
  quint32 elementKeys_ = 0;
  /** The page's open elements, innermost last: recorded, left out (inside an artifact) or a figure. */
  enum class TOpenElement : quint8 { Recorded, LeftOut, Figure };
  std::vector<TOpenElement> openElements_;
  int openFigures_ = 0;
  int openArtifacts_ = 0;
};

/**
 * An element of the page device's structure, or an artifact, open while it lives; nothing without a device
 * or when the device is not tagged.
 */
class TMarked {
public:
  TMarked(TGdi* device, const TStructureMark& mark);
  TMarked(TGdi* device, TArtifactKind kind);
  ~TMarked();
  TMarked(const TMarked&) = delete;
  TMarked& operator=(const TMarked&) = delete;

private:
  TGdi* device_;
  bool element_;
};

/** Writes the text's bytes and CR LF to the stream; nothing without a stream. */
void WriteHtmlLine(QIODevice* stream, const QString& text);

/**
 * Escapes &, <, > and " for HTML, and writes control characters and characters beyond ASCII as numeric
 * references, so a cell stays on its line and the file reads the same in any character set.
 */
QString HtmlEscape(const QString& text);

/** The colour a control prints with: button face prints white, other system colours their current RGB. */
TColor PrintColor(TColor color);

/** Selects the clip region (0, 0)-(32000, 32000) on a context. */
void ResetClip(DrawingContext& context);
