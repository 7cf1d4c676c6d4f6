#include "print/preview/PageCache.h"

#include "platform/PagePicture.h"

#include <QFile>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <sys/stat.h>

namespace {
// Enough screen pixels per printer pixel for a one-pixel rule at the smallest zoom, and a bound on the
// detail a page is drawn with.
constexpr int MaximumOversampling = 6;
// The most pixels one band of the detailed picture has (8 MiB).
constexpr qint64 BandPixels = 2 * 1024 * 1024;

// What tells one recording of a page file from another: the file's identity, size and time.
struct FileStamp {
  bool Exists = false;
  dev_t Device = 0;
  ino_t Node = 0;
  off_t Size = 0;
  long long Seconds = 0;
  long long Nanoseconds = 0;
  bool operator==(const FileStamp& other) const {
    return Exists == other.Exists && Device == other.Device && Node == other.Node && Size == other.Size &&
           Seconds == other.Seconds && Nanoseconds == other.Nanoseconds;
  }
};

FileStamp StampOf(const QString& fileName) {
  struct stat status {};
  if (fileName.isEmpty() || ::stat(QFile::encodeName(fileName).constData(), &status) != 0) return {};
  return {true,
          status.st_dev,
          status.st_ino,
          status.st_size,
          static_cast<long long>(status.st_mtim.tv_sec),
          static_cast<long long>(status.st_mtim.tv_nsec)};
}

double ScreenPixelsPerPrinterPixel(const TPageView& view) {
  return view.PageSize.width() > 0 ? view.Target.width() / view.PageSize.width() * view.Ratio : 0.0;
}
}  // namespace

bool TPageView::Oversampled() const { return ScreenPixelsPerPrinterPixel(*this) < 1.0; }

bool TPageView::DrawsAlike(const TPageView& other) const {
  return Target == other.Target && PageSize == other.PageSize && Ratio == other.Ratio &&
         PageCount == other.PageCount;
}

QImage DrawPageArea(const PagePicture& page, const TPageView& view) {
  const QSize pixels = (QSizeF(view.Area.size()) * view.Ratio).toSize();
  QImage shown(pixels, QImage::Format_ARGB32_Premultiplied);
  if (shown.isNull()) return shown;
  shown.fill(Qt::transparent);
  const double screenPerPrinter = ScreenPixelsPerPrinterPixel(view);
  // At the screen's own scale or larger the page is drawn straight into the screen's pixels; smaller, a
  // thin rule would fall between screen pixels and vanish.
  const int factor = screenPerPrinter >= 1.0 || screenPerPrinter <= 0
                         ? 1
                         : std::min(MaximumOversampling, static_cast<int>(std::ceil(1.0 / screenPerPrinter)));
  const auto drawOnto = [&](QPainter& painter, double top) {
    painter.scale(view.Ratio * factor, view.Ratio * factor);
    painter.translate(-QPointF(view.Area.left(), view.Area.top() + top / view.Ratio));
    page.PlayInto(painter, view.Target, view.PageSize);
  };
  if (factor == 1) {
    QPainter painter(&shown);
    drawOnto(painter, 0);
  } else {
    const qint64 detailedWidth = static_cast<qint64>(pixels.width()) * factor;
    const int bandRows = static_cast<int>(std::clamp<qint64>(
        BandPixels / std::max<qint64>(1, detailedWidth * factor), 1, std::max(1, pixels.height())));
    QImage detailed(static_cast<int>(detailedWidth), bandRows * factor, QImage::Format_ARGB32_Premultiplied);
    QPainter composed(&shown);
    composed.setCompositionMode(QPainter::CompositionMode_Source);
    for (int top = 0; top < pixels.height(); top += bandRows) {
      detailed.fill(Qt::transparent);
      {
        QPainter painter(&detailed);
        drawOnto(painter, top);
      }
      const int rows = std::min(bandRows, pixels.height() - top);
      // The band's rows of the detailed picture, without copying them.
      const QImage band(detailed.constBits(), detailed.width(), rows * factor,
                        static_cast<qsizetype>(detailed.bytesPerLine()), detailed.format());
      composed.drawImage(QPoint(0, top),
                         band.scaled(pixels.width(), rows, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
  }
  shown.setDevicePixelRatio(view.Ratio);
  return shown;
}

struct TPageCache::Entry {
  int Page = 0;
  FileStamp Stamp;
  std::unique_ptr<PagePicture> Picture;
  std::unique_ptr<TDrawn> Drawn;
  TPageView DrawnFor;
};

TPageCache::TPageCache(FileOfPage fileOfPage) : fileOfPage_(std::move(fileOfPage)) {}

TPageCache::~TPageCache() = default;

TPageCache::Entry* TPageCache::Find(int page) {
  for (const auto& entry : entries_) {
    if (entry->Page == page) return entry.get();
  }
  return nullptr;
}

const TPageCache::Entry* TPageCache::Find(int page) const {
  return const_cast<TPageCache*>(this)->Find(page);
}

TPageCache::Entry* TPageCache::Current(int page) {
  const QString fileName = fileOfPage_(page);
  const FileStamp stamp = StampOf(fileName);
  Entry* entry = Find(page);
  if (entry != nullptr && entry->Stamp == stamp) return entry;
  if (entry == nullptr) {
    entries_.push_back(std::make_unique<Entry>());
    entry = entries_.back().get();
    entry->Page = page;
  }
  entry->Stamp = stamp;
  entry->Drawn.reset();
  entry->Picture.reset();
  if (!stamp.Exists) return entry;
  auto picture = std::make_unique<PagePicture>();
  try {
    if (picture->Load(fileName)) entry->Picture = std::move(picture);
  } catch (const std::exception&) {
    // A page that cannot be read shows as the empty sheet.
  }
  return entry;
}

const PagePicture* TPageCache::Picture(int page) { return Current(page)->Picture.get(); }

const TPageCache::TDrawn* TPageCache::Drawn(int page, const TPageView& view) {
  Entry* entry = Current(page);
  if (!entry->Picture) return nullptr;
  if (entry->Drawn && entry->DrawnFor.DrawsAlike(view) && entry->Drawn->Area.contains(view.Area)) {
    return entry->Drawn.get();
  }
  entry->Picture->SetPageCount(view.PageCount);
  entry->Drawn = std::make_unique<TDrawn>(TDrawn{DrawPageArea(*entry->Picture, view), view.Area});
  entry->DrawnFor = view;
  return entry->Drawn.get();
}

bool TPageCache::Ready(int page, const TPageView& view) const {
  const Entry* entry = Find(page);
  return entry != nullptr && entry->Drawn && entry->DrawnFor.DrawsAlike(view) &&
         entry->Drawn->Area.contains(view.Area);
}

void TPageCache::KeepOnly(int first, int last) {
  entries_.erase(
      std::remove_if(entries_.begin(), entries_.end(),
                     [first, last](const auto& entry) { return entry->Page < first || entry->Page > last; }),
      entries_.end());
}
