#include "platform/Graphics.h"

#include "platform/Screen.h"
#include "platform/SysUtils.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <QGuiApplication>
#include <QPalette>
#include <cmath>
#include <cstdlib>

bool IsSystemColor(TColor color) {
  const auto bits = static_cast<std::uint32_t>(color);
  return (bits & 0xFFFFFF00u) == 0x80000000u;
}

namespace {
QColor PaletteColor(int index) {
  const QPalette palette = QGuiApplication::palette();
  switch (index) {
    case 0: return palette.color(QPalette::Mid);     // scroll bar
    case 1: return palette.color(QPalette::Window);  // desktop
    case 2: return palette.color(QPalette::Active, QPalette::Highlight);
    case 3: return palette.color(QPalette::Inactive, QPalette::Highlight);
    case 4: return palette.color(QPalette::Window);      // menu
    case 5: return palette.color(QPalette::Base);        // window
    case 6: return palette.color(QPalette::Shadow);      // window frame
    case 7: return palette.color(QPalette::WindowText);  // menu text
    case 8: return palette.color(QPalette::Text);        // window text
    case 9: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 10: return palette.color(QPalette::Window);  // active border
    case 11: return palette.color(QPalette::Window);  // inactive border
    case 12: return palette.color(QPalette::Dark);    // application work space
    case 13: return palette.color(QPalette::Highlight);
    case 14: return palette.color(QPalette::HighlightedText);
    case 15: return palette.color(QPalette::Button);  // button face
    case 16: return palette.color(QPalette::Mid);     // button shadow
    case 17: return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: return palette.color(QPalette::ButtonText);
    case 19: return palette.color(QPalette::Inactive, QPalette::HighlightedText);
    case 20: return palette.color(QPalette::Light);     // button highlight
    case 21: return palette.color(QPalette::Shadow);    // 3D dark shadow
    case 22: return palette.color(QPalette::Midlight);  // 3D light
    case 23: return palette.color(QPalette::ToolTipText);
    case 24: return palette.color(QPalette::ToolTipBase);
    default: return QColor(Qt::black);
  }
}
}  // namespace

TColor FromQColor(const QColor& color) {
  return static_cast<TColor>(static_cast<std::uint32_t>(color.red()) |
                             (static_cast<std::uint32_t>(color.green()) << 8) |
                             (static_cast<std::uint32_t>(color.blue()) << 16));
}

TColor ColorToRGB(TColor color) {
  if (IsSystemColor(color)) return FromQColor(PaletteColor(static_cast<int>(color & 0xFF)));
  return color;
}

QColor ToQColor(TColor color) {
  const auto rgb = static_cast<std::uint32_t>(ColorToRGB(color));
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

TFont::TFont()
    : name_(QStringLiteral("MS Sans Serif")), height_(-11), pixelsPerInch_(ScreenPixelsPerInch()) {}

int TFont::Size() const {
  return static_cast<int>(std::lround(-static_cast<double>(height_) * 72.0 / pixelsPerInch_));
}

void TFont::SetSize(int points) {
  height_ = -static_cast<int>(std::lround(static_cast<double>(points) * pixelsPerInch_ / 72.0));
}

void TFont::Assign(const TFont& other) {
  const int ownPixelsPerInch = pixelsPerInch_;
  name_ = other.name_;
  height_ = other.height_;
  style_ = other.style_;
  color_ = other.color_;
  if (ownPixelsPerInch != other.pixelsPerInch_) SetSize(other.Size());
}

QFont TFont::ToQFont() const { return FontOfHeight(name_, height_, style_); }

bool TFont::operator==(const TFont& other) const {
  return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
         color_ == other.color_ && pixelsPerInch_ == other.pixelsPerInch_;
}

TFont FromQFont(const QFont& qt) {
  TFont font;
  font.SetName(qt.family());
  const double pixels = qt.pixelSize() > 0 ? qt.pixelSize() : qt.pointSizeF() * font.PixelsPerInch() / 72.0;
  font.SetHeight(-std::max(1, static_cast<int>(RoundHalfEven(pixels))));
  TFontStyles style = 0;
  if (qt.bold()) style |= fsBold;
  if (qt.italic()) style |= fsItalic;
  if (qt.underline()) style |= fsUnderline;
  if (qt.strikeOut()) style |= fsStrikeOut;
  font.SetStyle(style);
  font.SetColor(clBlack);
  return font;
}

QFont FontOfHeight(const QString& name, int height, TFontStyles style) {
  QFont font(name);
  font.setBold((style & fsBold) != 0);
  font.setItalic((style & fsItalic) != 0);
  font.setUnderline((style & fsUnderline) != 0);
  font.setStrikeOut((style & fsStrikeOut) != 0);
  font.setStyleStrategy(QFont::PreferDefault);
  font.setHintingPreference(QFont::PreferNoHinting);
  const int magnitude = std::max(1, std::abs(height));
  font.setPixelSize(magnitude);
  if (height > 0) {
    // A positive height is the whole character cell; pick the pixel size whose ascent + descent fills it.
    const QFontMetrics metrics(font);
    const int cell = metrics.ascent() + metrics.descent();
    if (cell > 0 && cell != magnitude) {
      const int pixels =
          std::max(1, static_cast<int>(std::lround(static_cast<double>(magnitude) * magnitude / cell)));
      font.setPixelSize(pixels);
    }
  }
  return font;
}

TPicture::TPicture(const QImage& bitmap) {
  if (bitmap.isNull()) return;
  kind_ = gkBitmap;
  bitmap_ = bitmap;
}

TPicture TPicture::FromMetafile(const QPicture& metafile) {
  TPicture picture;
  if (metafile.isNull()) return picture;
  picture.kind_ = gkMetafile;
  picture.metafile_ = metafile;
  return picture;
}

TPicture TPicture::FromIcon(const QIcon& icon, QSize size) {
  TPicture picture;
  if (icon.isNull()) return picture;
  if (size.isEmpty()) {
    const QList<QSize> sizes = icon.availableSizes();
    for (const QSize& available : sizes) {
      if (available.width() * available.height() > size.width() * size.height()) size = available;
    }
    if (size.isEmpty()) size = QSize(32, 32);
  }
  picture.kind_ = gkIcon;
  picture.icon_ = icon;
  picture.iconSize_ = size;
  return picture;
}

bool TPicture::LoadFromData(const QByteArray& data) {
  Clear();
  if (data.isEmpty()) return false;
  {
    QPicture metafile;
    QBuffer buffer;
    buffer.setData(data);
    // A recorded picture starts with Qt's own signature; anything else is left to the image readers.
    if (data.startsWith("QPIC") && buffer.open(QIODevice::ReadOnly) && metafile.load(&buffer)) {
      *this = FromMetafile(metafile);
      return !Empty();
    }
  }
  QBuffer buffer;
  buffer.setData(data);
  if (!buffer.open(QIODevice::ReadOnly)) return false;
  QImageReader reader(&buffer);
  const QByteArray format = reader.format();
  if (format == "ico" || format == "cur") {
    QIcon icon;
    for (int index = 0; reader.jumpToImage(index) || index == 0; ++index) {
      const QImage image = reader.read();
      if (image.isNull()) break;
      icon.addPixmap(QPixmap::fromImage(image));
      if (reader.imageCount() <= index + 1) break;
    }
    *this = FromIcon(icon);
    return !Empty();
  }
  *this = TPicture(reader.read());
  return !Empty();
}

bool TPicture::LoadFromFile(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    Clear();
    return false;
  }
  return LoadFromData(file.readAll());
}

QSize TPicture::size() const {
  switch (kind_) {
    case gkBitmap: return bitmap_.size();
    case gkMetafile: return metafile_.boundingRect().size();
    case gkIcon: return iconSize_;
    case gkNone: break;
  }
  return QSize();
}

QRect TPicture::PlacedIn(const QRect& area, bool stretch, bool center) const {
  if (Empty()) return {};
  if (stretch) return area;
  if (center)
    return QRect(area.left() + (area.width() - Width()) / 2, area.top() + (area.height() - Height()) / 2,
                 Width(), Height());
  return QRect(area.topLeft(), size());
}

void TPicture::Draw(QPainter& painter, const QRect& target) const {
  if (target.isEmpty()) return;
  switch (kind_) {
    case gkBitmap: painter.drawImage(target, bitmap_); break;
    case gkMetafile: {
      const QRect bounds = metafile_.boundingRect();
      if (bounds.isEmpty()) return;
      // Replaying scales by the device's resolution over the picture's; that factor is taken out again.
      const QPaintDevice* device = painter.device();
      const double dpiX =
          device != nullptr ? static_cast<double>(metafile_.logicalDpiX()) / device->logicalDpiX() : 1.0;
      const double dpiY =
          device != nullptr ? static_cast<double>(metafile_.logicalDpiY()) / device->logicalDpiY() : 1.0;
      painter.save();
      painter.translate(target.topLeft());
      painter.scale(static_cast<double>(target.width()) / bounds.width(),
                    static_cast<double>(target.height()) / bounds.height());
      painter.translate(-bounds.topLeft());
      painter.scale(dpiX, dpiY);
      painter.drawPicture(0, 0, metafile_);
      painter.restore();
      break;
    }
    case gkIcon: icon_.paint(&painter, target); break;
    case gkNone: break;
  }
}
