#include "platform/FontShaper.h"

#include <QCoreApplication>
#include <QFont>
#include <QThread>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <vector>
#include <hb.h>

namespace {
QByteArray TagText(quint32 tag) {
  QByteArray text(4, ' ');
  for (int index = 0; index < 4; ++index) text[index] = static_cast<char>((tag >> (24 - 8 * index)) & 0xFF);
  return text;
}

// Qt's layout has HarfBuzz scale a font's adjustments to 64ths of a pixel (its fixed point), rounded as
// HarfBuzz rounds them.
struct FixedScale {
  FixedScale(double pixelSize, unsigned int unitsPerEm)
      : Multiplier((static_cast<qint64>(std::llround(pixelSize * 64)) << 16) / unitsPerEm) {}
  qint64 Sixtyfourths(hb_position_t units) const { return (units * Multiplier + 32768) >> 16; }
  double Pixels(hb_position_t units) const { return static_cast<double>(Sixtyfourths(units)) / 64.0; }
  qint64 Multiplier;
};
}  // namespace

hb_blob_t* TFontShaper::Reference(hb_face_t*, unsigned int tag, void* data) {
  auto* shaper = static_cast<TFontShaper*>(data);
  if (tag == 0) return nullptr;
  auto found = shaper->tables_.find(tag);
  if (found == shaper->tables_.end())
    found = shaper->tables_.emplace(tag, shaper->raw_.fontTable(TagText(tag).constData())).first;
  const QByteArray& bytes = found->second;
  if (bytes.isEmpty()) return hb_blob_get_empty();
  return hb_blob_create(bytes.constData(), static_cast<unsigned int>(bytes.size()), HB_MEMORY_MODE_READONLY,
                        nullptr, nullptr);
}

TFontShaper::TFontShaper(const QRawFont& font) : raw_(font) {
  face_ = hb_face_create_for_tables(&TFontShaper::Reference, this, nullptr);
  unitsPerEm_ = std::max(16u, hb_face_get_upem(face_));
  font_ = hb_font_create(face_);
}

TFontShaper::~TFontShaper() {
  hb_buffer_destroy(buffer_);
  hb_font_destroy(font_);
  hb_face_destroy(face_);
}

QString TFontShaper::FileKey(const QRawFont& font) {
  return QStringLiteral("%1\n%2\n%3\n%4")
      .arg(font.familyName(), font.styleName())
      .arg(font.weight())
      .arg(static_cast<int>(font.style()));
}

std::shared_ptr<TFontShaper> TFontShaper::Kept(const QRawFont& font) {
  constexpr std::size_t MostKept = 16;
  struct Entry {
    QString Key;
    std::shared_ptr<TFontShaper> Shaper;
  };
  static std::vector<Entry> kept;
  // Kept for the application's own thread, and let go with the application: a raw font holds Qt's font
  // engine, which must not outlive the application's fonts.
  static bool gone = false;
  const QCoreApplication* application = QCoreApplication::instance();
  if (gone || application == nullptr || QThread::currentThread() != application->thread())
    return std::make_shared<TFontShaper>(font);
  static const bool registered = [] {
    qAddPostRoutine([] {
      kept.clear();
      gone = true;
    });
    return true;
  }();
  Q_UNUSED(registered);
  const QString key = FileKey(font);
  const auto found =
      std::find_if(kept.begin(), kept.end(), [&key](const Entry& entry) { return entry.Key == key; });
  if (found != kept.end()) return found->Shaper;
  if (kept.size() >= MostKept) kept.erase(kept.begin());
  kept.push_back({key, std::make_shared<TFontShaper>(font)});
  return kept.back().Shaper;
}

void TFontShaper::ReleaseTables() {
  // HarfBuzz keeps the blobs it was given, which point into the tables: the face goes with them.
  hb_font_destroy(font_);
  hb_face_destroy(face_);
  tables_.clear();
  face_ = hb_face_create_for_tables(&TFontShaper::Reference, this, nullptr);
  font_ = hb_font_create(face_);
}

bool TFontShaper::Shapeable(const QFont& font, const QString& text) {
  // Spacing and capitals are Qt's own additions to the shaping; an application laid out right to left puts
  // even a Latin line's parts in its own order.
  if (font.letterSpacing() != 0 || font.wordSpacing() != 0 || font.capitalization() != QFont::MixedCase ||
      (font.stretch() != 0 && font.stretch() != QFont::Unstretched) ||
      QGuiApplication::layoutDirection() != Qt::LeftToRight)
    return false;
  return std::all_of(text.begin(), text.end(), [](QChar character) {
    const char16_t unit = character.unicode();
    return unit >= 0x20 && (unit <= 0x7E || unit >= 0xA0) && unit != 0xAD && unit <= 0x17F;
  });
}

int TFontShaper::ShapeIntoBuffer(const QString& text, bool kerning) {
  if (buffer_ == nullptr) buffer_ = hb_buffer_create();
  hb_buffer_clear_contents(buffer_);
  hb_buffer_add_utf16(buffer_, reinterpret_cast<const uint16_t*>(text.utf16()), static_cast<int>(text.size()),
                      0, static_cast<int>(text.size()));
  hb_buffer_set_direction(buffer_, HB_DIRECTION_LTR);
  hb_buffer_guess_segment_properties(buffer_);
  static const hb_feature_t noKerning = {HB_TAG('k', 'e', 'r', 'n'), 0, 0, ~0u};
  hb_shape(font_, buffer_, kerning ? nullptr : &noKerning, kerning ? 0 : 1);
  unsigned int count = 0;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer_, &count);
  for (unsigned int index = 0; index < count; ++index)
    if (infos[index].codepoint == 0) return -1;
  return static_cast<int>(count);
}

bool TFontShaper::Shape(const QRawFont& sized, const QString& text, bool kerning, QList<quint32>& glyphs,
                        QList<QPointF>& positions) {
  const int count = ShapeIntoBuffer(text, kerning);
  if (count < 0) return false;
  const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer_, nullptr);
  const hb_glyph_position_t* places = hb_buffer_get_glyph_positions(buffer_, nullptr);
  glyphs.resize(count);
  for (int index = 0; index < count; ++index) glyphs[index] = infos[index].codepoint;
  // Qt's advances as its layout takes them (on its grid of 64ths of a pixel), the font's kerning on top.
  const QList<QPointF> advances = sized.advancesForGlyphIndexes(glyphs);
  if (advances.size() != glyphs.size()) return false;
  const FixedScale scale(sized.pixelSize(), unitsPerEm_);
  positions.resize(count);
  double x = 0;
  for (int index = 0; index < count; ++index) {
    const hb_position_t kern = places[index].x_advance - hb_font_get_glyph_h_advance(font_, glyphs[index]);
    positions[index] =
        QPointF(x + scale.Pixels(places[index].x_offset), -scale.Pixels(places[index].y_offset));
    x += advances[index].x() + scale.Pixels(kern);
  }
  end_ = x;
  return true;
}

int TFontShaper::Width(const QRawFont& sized, const QString& text, bool kerning) {
  QList<quint32> glyphs;
  QList<QPointF> positions;
  if (!Shape(sized, text, kerning, glyphs, positions)) return -1;
  // Qt rounds its fixed-point width half up.
  return static_cast<int>(std::floor(end_ + 0.5));
}
