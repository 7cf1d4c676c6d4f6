#pragma once

// The program's own PDF writer: recorded pages played straight into a PDF document as they print.

#include "platform/pdf/PdfPagePlayer.h"

#include <QByteArray>
#include <QHash>
#include <QPageLayout>
#include <QString>
#include <QTransform>
#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

class QDateTime;
class QIODevice;
class QPaintDevice;
class TPdfFile;
class TPdfFonts;
class TPdfImages;

/**
 * A PDF document written page by page as recorded pages are played onto it: each page's content is written
 * when the page ends, pictures when first drawn, and at the end the fonts (each a subset of the glyphs its
 * texts used), the page tree and the document's information. Memory holds the page being made and what the
 * font subsets need, however many pages there are.
 *
 * Pages are laid out as Qt's PDF writer lays them out: the paper of the page layout, its device pixels at
 * the resolution starting at the top left of the printable area.
 */
class TPdfDocument : private TPdfResources {
public:
  /** What the document says of itself. */
  struct TInformation {
    QString Title;
    QString Author;
    QString Subject;
    /** A BCP 47 tag ("en-GB"); empty says nothing of the language. */
    QString Language;
    QString Creator;
    QString Producer;
    /**
     * An archival file, PDF/A-2u: an sRGB output intent, the metadata naming the standard, every glyph mapped
     * to characters.
     */
    bool Archival = false;
    /**
     * A tagged file: what the pages mark as structure becomes the document's structure tree, and everything
     * else drawn is marked as an artifact.
     */
    bool Tagged = false;
  };
  /** The compression level of the document's streams, chosen by measurement (see the note with it). */
  static const int DefaultDeflateLevel;

  TPdfDocument(QIODevice& device, const TInformation& information, int deflateLevel = DefaultDeflateLevel);
  ~TPdfDocument() override;
  TPdfDocument(const TPdfDocument&) = delete;
  TPdfDocument& operator=(const TPdfDocument&) = delete;

  /** Ends the page being made, if any, and begins one of this layout and resolution. */
  void BeginPage(const QPageLayout& layout, int resolution);
  /**
   * Plays a recording onto the page being made, in its device pixels; texts are laid out for the layout
   * device (the printer's metrics); texts that show the page count show pageCount. False, with nothing of it
   * drawn, when it holds a record the writer cannot draw.
   */
  bool Play(const QByteArray& recording, const QPaintDevice* layoutDevice, int pageCount = 0);
  /** Draws a picture over the page's printable area, one picture pixel a device pixel. */
  void DrawPicture(const QImage& picture);
  /** Ends the last page and writes the end of the file. False when a write to the device failed. */
  bool Finish();
  /** Whether a write to the device failed. */
  bool Failed() const;
  int PageCount() const { return static_cast<int>(pages_.size()) + (pageOpen_ ? 1 : 0); }

private:
  void EndPage();
  TPdfFont& Font(const QRawFont& font) override;
  void Use(TPdfFont& font) override;
  TShownText* Shown(int font, const QString& text) override;
  QByteArray Picture(const QImage& image) override;
  QByteArray Stencil(const QImage& image) override;
  /** The page's name for a picture's object. */
  QByteArray PictureName(int object);
  QByteArray Alpha(double fill, double stroke) override;
  void OutlineEntry(int level, const QPointF& device, const QString& title) override;
  void Link(const QRectF& device, const QString& target) override;
  bool Tagged() const override { return information_.Tagged; }
  void BeginStructure(const TStructureMark& mark) override;
  void EndStructure() override;
  int MarkedContent() override;
  /**
   * Ends the innermost open element of the page, a kid of the one around it: written, or held when a later
   * page may go on with it (its key).
   */
  void CloseElement();
  /** The element a mark that goes on from an earlier page goes on with, taken from those held; or none. */
  bool Resume(const TStructureMark& mark);
  /** Writes the structure tree's root, its document element and parent tree; the root's object, or 0. */
  int WriteStructureTree();
  /** Writes the outline's items; the outline's object, or 0 when the document has no entries. */
  int WriteOutline();
  /** The language as the catalogue and the metadata name it: ASCII letters, digits and hyphens. */
  QByteArray LanguageTag() const;
  /** The XMP metadata: what the information dictionary says, and the archival standard when met. */
  QByteArray Metadata(const QDateTime& now) const;
  /** Writes the sRGB output intent and its profile; the intent's object. */
  int WriteOutputIntent();

  std::unique_ptr<TPdfFile> file_;
  std::unique_ptr<TPdfFonts> fonts_;
  std::unique_ptr<TPdfImages> images_;
  TInformation information_;
  int pagesObject_ = 0;
  std::vector<int> pages_;
  QHash<quint64, int> alphas_;
  /** An outline entry: where on which page it leads, in points. */
  struct TOutlineItem {
    int Level = 0;
    QString Title;
    /** The page's object. */
    int Page = 0;
    QPointF At;
  };
  std::vector<TOutlineItem> outline_;

  // The structure: elements are written when they end, so only the open ones are held.
  struct TElement {
    int Object = 0;
    int Parent = 0;
    /** The page it began on; its marked content on other pages is named with theirs. */
    int Page = 0;
    TStructureMark Mark;
    QByteArray Kids;
    /** Whether its parent names it already: an element held and gone on with is named once. */
    bool Named = false;
    /** Whether it has marked content of its own (not only elements). */
    bool Marked = false;
  };
  /** Elements ended on their page that a later page may go on with, by key. */
  std::map<quint32, TElement> held_;
  /** The text of the element being written, its room kept from one to the next. */
  QByteArray elementText_;
  void WriteElement(const TElement& element);
  /** The document element, every other element's ancestor; 0 until the first element. */
  int documentElement_ = 0;
  QByteArray documentKids_;
  /** The page's open elements, innermost last. */
  std::vector<TElement> openElements_;
  /** For each marked content of the page, by its number, the element it belongs to. */
  QByteArray pageParents_;
  int pageMarkedContents_ = 0;
  /** The parent tree's entries: each page with marked content, by its key, and its array. */
  QByteArray parentTree_;
  int parentTreeKeys_ = 0;
  /** Every entry made so far, by level, place and title. */
  std::set<std::tuple<int, double, double, QString>> outlineMade_;
  /** The texts written lately, by font and text: a few thousand, let go all at once when that many. */
  QHash<std::pair<int, QString>, TShownText> shown_;

  // The page being made.
  bool pageOpen_ = false;
  /** The page's object, reserved as it begins: its elements name it. */
  int pageObject_ = 0;
  QPageLayout layout_;
  int resolution_ = 72;
  QByteArray content_;
  /** Device pixels of the page onto its points. */
  QTransform toPoints_;
  /** The page's link annotations, each with its reserved object, written with it. */
  std::vector<std::pair<int, QByteArray>> links_;
  /** The fonts the page names, by object: few, so looked up in order. */
  std::vector<const TPdfFont*> pageFonts_;
  std::set<QByteArray> fontsUsed_;
  std::set<QByteArray> picturesUsed_;
  std::set<QByteArray> alphasUsed_;
  QHash<QByteArray, int> names_;
};
