#pragma once

// The compact display list pages are recorded in, so recording or playing a page costs little beyond drawing.

#include <QByteArray>
#include <QPaintDevice>
#include <Qt>
#include <memory>

class QPainter;
class QPointF;
class QRectF;
class QString;
class PageRecordEngine;
class TRecordPlayer;

/**
 * A paint device that records what is painted on it as a compact display list of the painter's own
 * operations: state changes, shapes, pictures and text items. Pens, brushes, fonts and images are written
 * once per page and then named by number, and the list is plain bytes appended to one buffer, so recording a
 * page costs little more than the drawing calls themselves.
 *
 * The device has the resolution of Qt's pictures, so what a page measures (a font's size, a text's width) is
 * what it measured when pages were recorded as QPicture; one recorded unit is one unit of the painter.
 */
class TPageRecorder : public QPaintDevice {
public:
  TPageRecorder();
  ~TPageRecorder() override;
  TPageRecorder(const TPageRecorder&) = delete;
  TPageRecorder& operator=(const TPageRecorder&) = delete;

  QPaintEngine* paintEngine() const override;
  /**
   * The recording so far (complete once the painter has ended), leaving the device empty; pdfWritable tells
   * whether the program's own PDF writer draws all of it (PdfSupport).
   */
  QByteArray TakeRecording(bool* pdfWritable = nullptr);
  /**
   * The recording so far, as TakeRecording gives it, while the painter goes on: the next recording starts
   * with the painter's state as it stands, so what it draws next plays as it would have on this one.
   */
  QByteArray TakeSheet(bool* pdfWritable = nullptr);

protected:
  int metric(PaintDeviceMetric metric) const override;

private:
  std::unique_ptr<PageRecordEngine> engine_;
};

/**
 * Records the text as QPainter::drawText(baselineStart, text) draws it, without laying it out: a recording
 * keeps a text's characters and lays them out when it plays. Returns false, having recorded nothing, when the
 * painter does not paint on a TPageRecorder or the text needs the painter's own drawing (a decorated font,
 * a right-to-left painter, more than one plain line); the caller then draws it.
 */
bool RecordText(QPainter& painter, const QPointF& baselineStart, const QString& text);

/** Stands in a recorded text for the number of pages of the document the page is played in. */
inline constexpr char16_t PageCountMark = u'\uE000';

/**
 * Records a text that holds PageCountMark, to be filled in with the document's page count when the page plays
 * (a page is recorded before the document knows how many pages it has). The anchor is on the baseline: the
 * text's start, its end (Qt::AlignRight) or its middle (Qt::AlignHCenter), measured once the count is in.
 * Returns false, as RecordText does, when the text cannot be recorded so.
 */
bool RecordPageCountText(QPainter& painter, const QPointF& anchor, Qt::Alignment alignment,
                         const QString& text);

/** The deepest level of an outline entry (0 the top): far more than any document nests. */
inline constexpr int MaximumOutlineLevel = 64;

/**
 * Records an entry of the document's outline (a PDF's bookmarks) leading to the point, in the painter's
 * units, nested at the level under the entries before it of a lower one. Nothing is drawn. False, recording
 * nothing, when the painter does not paint on a TPageRecorder or the level is outside 0..MaximumOutlineLevel.
 */
bool RecordOutlineEntry(QPainter& painter, const QPointF& at, int level, const QString& title);

/**
 * Records that the area, in the painter's units, is a link to the target (a URL: "https://…", "mailto:…").
 * Nothing is drawn; a PDF makes the area a link. False, recording nothing, when the painter does not paint on
 * a TPageRecorder or the area or the target is empty.
 */
bool RecordLink(QPainter& painter, const QRectF& area, const QString& target);

struct TStructureMark;
enum class TArtifactKind : quint8;

/**
 * Records that what the painter draws from now on belongs to an element of the document's structure
 * (TStructureMark), nested in the elements begun before and not yet ended, until RecordStructureEnd. Nothing
 * is drawn. False, recording nothing, when the painter does not paint on a TPageRecorder.
 */
bool RecordStructureStart(QPainter& painter, const TStructureMark& mark);
bool RecordStructureEnd(QPainter& painter);
/** The same for an artifact: what is drawn until RecordArtifactEnd belongs to the paper, not the content. */
bool RecordArtifactStart(QPainter& painter, TArtifactKind kind);
bool RecordArtifactEnd(QPainter& painter);

/**
 * Plays a recording onto the painter, each recorded unit one logical unit of the painter as it stands.
 * Returns false, having drawn what came before, at the first record that is not whole; the painter's own
 * state is as it was before. pageCount fills in the texts that show the document's page count (none when 0).
 */
bool PlayRecording(QPainter& painter, const QByteArray& recording, int pageCount = 0);

/**
 * Plays a recording to a player of its own (a PDF page, say), record by record. Returns false at the first
 * record that is not whole, or that the player cannot draw, having played what came before.
 */
bool PlayRecording(TRecordPlayer& player, const QByteArray& recording, int pageCount = 0);
