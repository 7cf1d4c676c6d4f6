#pragma once

// The pages a preview keeps ready, so turning to the next page only paints and memory stays flat.

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class PagePicture;
class QPainter;

/** Where and how a page is shown on the preview's surface. */
struct TPageView {
  /** The page's rectangle on the surface, in points. */
  QRectF Target;
  /** The page in printer pixels. */
  QSizeF PageSize;
  /** The screen's pixels per point. */
  double Ratio = 1.0;
  /** The part of the surface to draw, in points. */
  QRect Area;
  /** The document's pages, for the texts on a page that show their count. */
  int PageCount = 0;
  /** A page too small for the screen's pixels is drawn with detail and averaged down. */
  bool Oversampled() const;
  /** Whether a page drawn for this view looks as it would drawn for the other: same scale, same count. */
  bool DrawsAlike(const TPageView& other) const;
};

/**
 * Draws the part of a page its view names into an image of the screen's pixels (its device pixel ratio set),
 * at several times those pixels averaged down, so a rule thinner than a screen pixel keeps its share of grey.
 * The detailed picture is drawn a band at a time, so the memory a paint takes stays bounded at any zoom.
 */
QImage DrawPageArea(const PagePicture& page, const TPageView& view);

/**
 * The pages a preview keeps ready: the page shown and those next to it, each read once from its page file
 * and drawn once for the part of the surface in view. Turning to a page that is ready only paints the image;
 * every other page is let go, so memory stays the same however many pages the job has. A page file that is
 * recorded anew (a different size or time) is read anew.
 */
class TPageCache {
public:
  /** The file a page number is kept in; empty when there is none. */
  using FileOfPage = std::function<QString(int)>;
  explicit TPageCache(FileOfPage fileOfPage);
  ~TPageCache();
  TPageCache(const TPageCache&) = delete;
  TPageCache& operator=(const TPageCache&) = delete;

  /** The page read from its file, or nullptr when it has none or the file is refused. */
  const PagePicture* Picture(int page);
  /** A page drawn into screen pixels: the image and the part of the surface it covers, in points. */
  struct TDrawn {
    QImage Image;
    QRect Area;
  };
  /**
   * The page drawn for the view (covering at least its area), drawn now unless it was drawn before at the
   * same scale for an area that covers this one; nullptr when the page has no picture.
   */
  const TDrawn* Drawn(int page, const TPageView& view);
  /** Whether the page is drawn for the view already, so showing it only paints. */
  bool Ready(int page, const TPageView& view) const;
  /** Lets every page go but those from first to last. */
  void KeepOnly(int first, int last);

private:
  struct Entry;
  Entry* Find(int page);
  const Entry* Find(int page) const;
  Entry* Current(int page);

  FileOfPage fileOfPage_;
  std::vector<std::unique_ptr<Entry>> entries_;
};
