#include "platform/pdf/PdfFonts.h"

#include "platform/pdf/PdfFile.h"

#include <QMutex>
#include <QtEndian>
#include <cmath>
#include <hb-ot.h>
#include <hb-subset.h>
#include <hb.h>

namespace {
qint16 Signed16(const QByteArray& table, int offset) {
  if (table.size() < offset + 2) return 0;
  return qFromBigEndian<qint16>(table.constData() + offset);
}

// A font's name in a PDF: its PostScript name's plain characters.
QByteArray PlainName(const QByteArray& name) {
  QByteArray plain;
  for (const char character : name) {
    if ((character >= 'A' && character <= 'Z') || (character >= 'a' && character <= 'z') ||
        (character >= '0' && character <= '9') || character == '-')
      plain.append(character);
  }
  return plain.isEmpty() ? QByteArrayLiteral("Font") : plain.left(100);
}

// The six capital letters that mark a subset's name, different for every font of a document.
QByteArray SubsetTag(int number) {
  QByteArray tag(6, 'A');
  for (int index = 5; index >= 0 && number > 0; --index, number /= 26) tag[index] = char('A' + number % 26);
  return tag;
}

QByteArray Hex16(quint32 value) {
  static const char digits[] = "0123456789ABCDEF";
  QByteArray hex(4, '0');
  for (int index = 3; index >= 0; --index, value >>= 4) hex[index] = digits[value & 0xF];
  return hex;
}
}  // namespace

TPdfFont::TPdfFont(const QRawFont& font, QByteArray resourceName, int tagNumber)
    : font_(font), shaper_(font), resourceName_(std::move(resourceName)) {
  // Only TrueType outlines are embedded; a font of other outlines has its glyphs drawn as their paths.
  // Telling which means reading the outlines, most of the font: once for each font file in a run of the
  // program.
  static QHash<QString, bool> embeddable;
  static QMutex guard;
  const QMutexLocker lock(&guard);
  const QString key = TFontShaper::FileKey(font);
  const auto known = embeddable.constFind(key);
  if (known != embeddable.constEnd()) {
    embeddable_ = known.value();
  } else {
    embeddable_ = !Table("glyf").isEmpty() && !Table("loca").isEmpty() && !Table("head").isEmpty();
    embeddable.insert(key, embeddable_);
  }
  char name[128];
  unsigned int length = sizeof name - 1;
  if (hb_ot_name_get_utf8(shaper_.Face(), HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &length,
                          name) == 0) {
    baseName_ = font.familyName().toLatin1();
  } else {
    baseName_ = QByteArray(name, static_cast<qsizetype>(length));
  }
  baseName_ = SubsetTag(tagNumber) + '+' + PlainName(baseName_);
}

TPdfFont::~TPdfFont() = default;

QByteArray TPdfFont::Table(const char* tag) const { return shaper_.Table(tag); }

double TPdfFont::Advance(quint32 glyph) {
  const auto known = advances_.constFind(glyph);
  if (known != advances_.constEnd()) return known.value();
  const double advance = hb_font_get_glyph_h_advance(shaper_.Font(), glyph) * 1000.0 / shaper_.UnitsPerEm();
  advances_.insert(glyph, advance);
  return advance;
}

bool TPdfFont::Map(quint32 glyph, const QString& characters) {
  QString& mapped = used_[glyph];
  if (mapped.isEmpty()) mapped = characters;
  return mapped == characters;
}

bool TPdfFont::CanMap(quint32 glyph, const QString& characters) const {
  const auto found = used_.find(glyph);
  return found == used_.end() || found->second.isEmpty() || found->second == characters;
}

QByteArray TPdfFont::Widths() {
  QByteArray widths("[");
  quint32 next = 0;
  bool open = false;
  for (const auto& [glyph, characters] : used_) {
    if (!open || glyph != next) {
      if (open) widths.append("] ");
      Pdf::AppendInteger(widths, glyph);
      widths.append(" [");
      open = true;
    } else {
      widths.append(' ');
    }
    Pdf::AppendNumber(widths, Advance(glyph));
    next = glyph + 1;
  }
  if (open) widths.append(']');
  widths.append(']');
  return widths;
}

QByteArray TPdfFont::ToUnicode(bool everyGlyphMapped) const {
  QList<QByteArray> entries;
  for (const auto& [glyph, characters] : used_) {
    if (characters.isEmpty() && !everyGlyphMapped) continue;
    QByteArray target;
    for (const QChar character : characters) target.append(Hex16(character.unicode()));
    if (target.isEmpty()) target = Hex16(0xFFFD);
    entries.append('<' + Hex16(glyph) + "> <" + target + '>');
  }
  QByteArray map(
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n");
  // A block holds at most a hundred entries.
  for (qsizetype first = 0; first < entries.size(); first += 100) {
    const qsizetype count = std::min<qsizetype>(100, entries.size() - first);
    Pdf::AppendInteger(map, count);
    map.append(" beginbfchar\n");
    for (qsizetype index = first; index < first + count; ++index) map.append(entries.at(index) + '\n');
    map.append("endbfchar\n");
  }
  map.append("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
  return map;
}

void TPdfFont::Write(TPdfFile& file, bool everyGlyphMapped) {
  if (!embeddable_ || object_ < 0) return;
  hb_subset_input_t* input = hb_subset_input_create_or_fail();
  hb_set_t* glyphs = input != nullptr ? hb_subset_input_glyph_set(input) : hb_set_get_empty();
  hb_set_add(glyphs, 0);
  for (const auto& entry : used_) hb_set_add(glyphs, entry.first);
  // The glyphs keep their numbers, which the pages already wrote; layout and hinting are no use in a PDF.
  hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING);
  hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
  for (const char* tag : {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "kern", "morx", "DSIG", "vhea", "vmtx"})
    hb_set_add(dropped, HB_TAG(tag[0], tag[1], tag[2], tag[3]));
  hb_face_t* subset = input != nullptr ? hb_subset_or_fail(shaper_.Face(), input) : nullptr;
  hb_subset_input_destroy(input);
  QByteArray program;
  if (subset != nullptr) {
    hb_blob_t* blob = hb_face_reference_blob(subset);
    unsigned int length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    program = QByteArray(data, static_cast<qsizetype>(length));
    hb_blob_destroy(blob);
    hb_face_destroy(subset);
  }
  // The tables read for the subset (the outlines are most of a font) go before the next font's are read.
  shaper_.ReleaseTables();

  const QByteArray head = Table("head");
  const QByteArray hhea = Table("hhea");
  const QByteArray os2 = Table("OS/2");
  const double scale = 1000.0 / shaper_.UnitsPerEm();
  const auto scaled = [scale](int value) {
    QByteArray number;
    Pdf::AppendInteger(number, qRound(value * scale));
    return number;
  };
  const int ascent = Signed16(hhea, 4);
  const int descent = Signed16(hhea, 6);
  const int capHeight = os2.size() >= 90 ? Signed16(os2, 88) : ascent;

  // A font HarfBuzz could not cut down is named without its program, so no page refers to nothing; a viewer
  // then shows a font of its own.
  const int programObject = program.isEmpty() ? -1 : file.Reserve();
  const int descriptor = file.Reserve();
  const int descendant = file.Reserve();
  const int toUnicode = file.Reserve();
  if (programObject > 0) {
    QByteArray length1("/Length1 ");
    Pdf::AppendInteger(length1, program.size());
    file.Stream(programObject, length1, program);
  }
  file.Object(
      descriptor,
      "<< /Type /FontDescriptor /FontName " + Pdf::Name(baseName_) + " /Flags 4 /FontBBox [" +
          scaled(Signed16(head, 36)) + ' ' + scaled(Signed16(head, 38)) + ' ' + scaled(Signed16(head, 40)) +
          ' ' + scaled(Signed16(head, 42)) + "] /ItalicAngle 0 /Ascent " + scaled(ascent) + " /Descent " +
          scaled(descent) + " /CapHeight " + scaled(capHeight) + " /StemV 80" +
          (programObject > 0 ? " /FontFile2 " + Pdf::Reference(programObject) : QByteArray()) + " >>");
  file.Object(descendant, "<< /Type /Font /Subtype /CIDFontType2 /BaseFont " + Pdf::Name(baseName_) +
                              " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
                              " /FontDescriptor " +
                              Pdf::Reference(descriptor) + " /CIDToGIDMap /Identity /W " + Widths() + " >>");
  file.Stream(toUnicode, QByteArray(), ToUnicode(everyGlyphMapped));
  file.Object(object_, "<< /Type /Font /Subtype /Type0 /BaseFont " + Pdf::Name(baseName_) +
                           " /Encoding /Identity-H /DescendantFonts [" + Pdf::Reference(descendant) +
                           "] /ToUnicode " + Pdf::Reference(toUnicode) + " >>");
}

TPdfFonts::TPdfFonts() = default;

TPdfFonts::~TPdfFonts() = default;

TPdfFont& TPdfFonts::FontFor(const QRawFont& font, TPdfFile& file) {
  const auto met = byRawFont_.constFind(font);
  if (met != byRawFont_.constEnd()) return *met.value();
  const QString key = QStringLiteral("%1|%2|%3|%4")
                          .arg(font.familyName(), font.styleName())
                          .arg(font.weight())
                          .arg(static_cast<int>(font.style()));
  const auto known = byKey_.constFind(key);
  if (known != byKey_.constEnd()) {
    byRawFont_.insert(font, known.value());
    return *known.value();
  }
  const int number = static_cast<int>(fonts_.size());
  auto made = std::make_unique<TPdfFont>(font, "F" + QByteArray::number(number + 1), number);
  // Only a font that will be written is given an object.
  if (made->Embeddable()) made->SetObject(file.Reserve());
  TPdfFont& result = *made;
  fonts_.push_back(std::move(made));
  byKey_.insert(key, &result);
  byRawFont_.insert(font, &result);
  return result;
}

void TPdfFonts::WriteAll(TPdfFile& file, bool everyGlyphMapped) {
  for (const auto& font : fonts_) font->Write(file, everyGlyphMapped);
}
