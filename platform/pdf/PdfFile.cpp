#include "platform/pdf/PdfFile.h"

#include <QHash>
#include <QIODevice>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <libdeflate.h>

namespace {
// Streams smaller than this are written as they are: deflating them would save next to nothing.
constexpr qsizetype SmallestDeflated = 64;
// An object in an object stream is told from an offset (0 or more) and a free entry (-1) by its sign.
qint64 CompactEntry(int stream, int index) { return -2 - ((static_cast<qint64>(stream) << 16) | index); }
}  // namespace

void Pdf::AppendInteger(QByteArray& out, qint64 value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, static_cast<qsizetype>(end - digits));
}

void Pdf::AppendNumber(QByteArray& out, double value) {
  if (!std::isfinite(value)) value = 0;
  // Most of a page's numbers are whole pixels.
  const double rounded = std::round(value);
  if (std::abs(value - rounded) < 0.00005 && std::abs(rounded) < 1e15) {
    AppendInteger(out, static_cast<qint64>(rounded));
    return;
  }
  char digits[64];
  char* end = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 4).ptr;
  while (end > digits && end[-1] == '0') --end;
  if (end > digits && end[-1] == '.') --end;
  // "-0" is zero.
  if (end - digits == 2 && digits[0] == '-' && digits[1] == '0') {
    out.append('0');
    return;
  }
  out.append(digits, static_cast<qsizetype>(end - digits));
}

QByteArray Pdf::Reference(int number) {
  QByteArray reference;
  AppendInteger(reference, number);
  reference.append(" 0 R");
  return reference;
}

QByteArray Pdf::ByteString(const QByteArray& bytes) { return '<' + bytes.toHex() + '>'; }

QByteArray Pdf::TextString(const QString& text) {
  QByteArray out("<FEFF");
  for (const QChar character : text) {
    static const char hex[] = "0123456789ABCDEF";
    const char16_t unit = character.unicode();
    for (int shift = 12; shift >= 0; shift -= 4) out.append(hex[(unit >> shift) & 0xF]);
  }
  out.append('>');
  return out;
}

QByteArray Pdf::Name(const QByteArray& name) {
  QByteArray out("/");
  for (const char byte : name) {
    const auto code = static_cast<unsigned char>(byte);
    const bool regular = code > 0x20 && code < 0x7F && std::strchr("#()<>[]{}/%", byte) == nullptr;
    if (regular) {
      out.append(byte);
    } else {
      out.append('#');
      out.append(QByteArray::number(code, 16).rightJustified(2, '0'));
    }
  }
  return out;
}

QByteArray Pdf::RoleName(const QString& role) {
  thread_local QHash<QString, QByteArray> names;
  if (const auto found = names.constFind(role); found != names.constEnd()) return *found;
  // Roles come from pages, a damaged one may name anything: the kept ones stay few.
  if (names.size() >= 64) names.clear();
  return *names.insert(role, Name(role.toLatin1()));
}

TPdfFile::TPdfFile(QIODevice& device, int deflateLevel)
    : device_(device), compressor_(libdeflate_alloc_compressor(deflateLevel)) {
  // The comment's bytes above 127 tell a transfer program that the file is binary.
  Write(QByteArrayLiteral("%PDF-1.7\n%\xE2\xE3\xCF\xD3\n"));
}

TPdfFile::~TPdfFile() {
  if (compressor_ != nullptr) libdeflate_free_compressor(compressor_);
}

void TPdfFile::Write(const char* bytes, qsizetype length) {
  if (failed_) return;
  if (device_.write(bytes, length) != length) {
    failed_ = true;
    return;
  }
  offset_ += length;
}

void TPdfFile::Write(const QByteArray& bytes) { Write(bytes.constData(), bytes.size()); }

int TPdfFile::Reserve() {
  offsets_.push_back(-1);
  return static_cast<int>(offsets_.size() - 1);
}

void TPdfFile::Object(int number, const QByteArray& body) {
  offsets_[static_cast<std::size_t>(number)] = offset_;
  QByteArray head;
  Pdf::AppendInteger(head, number);
  head.append(" 0 obj\n");
  Write(head);
  Write(body);
  Write("\nendobj\n", 8);
}

void TPdfFile::Stream(int number, const QByteArray& entries, const QByteArray& data) {
  if (compressor_ != nullptr && data.size() >= SmallestDeflated) {
    const size_t bound = libdeflate_zlib_compress_bound(compressor_, static_cast<size_t>(data.size()));
    if (compressed_.size() < static_cast<qsizetype>(bound)) compressed_.resize(static_cast<qsizetype>(bound));
    const size_t size = libdeflate_zlib_compress(compressor_, data.constData(),
                                                 static_cast<size_t>(data.size()), compressed_.data(), bound);
    if (size > 0 && static_cast<qsizetype>(size) < data.size()) {
      RawStream(number, entries + " /Filter /FlateDecode",
                QByteArray::fromRawData(compressed_.constData(), static_cast<qsizetype>(size)));
      return;
    }
  }
  RawStream(number, entries, data);
}

void TPdfFile::RawStream(int number, const QByteArray& entries, const QByteArray& data) {
  offsets_[static_cast<std::size_t>(number)] = offset_;
  QByteArray head;
  Pdf::AppendInteger(head, number);
  head.append(" 0 obj\n<<");
  head.append(entries);
  head.append(" /Length ");
  Pdf::AppendInteger(head, data.size());
  head.append(" >>\nstream\n");
  Write(head);
  Write(data);
  Write("\nendstream\nendobj\n", 18);
}

void TPdfFile::CompactObject(int number, const QByteArray& body) {
  if (compactStream_ == 0) compactStream_ = Reserve();
  offsets_[static_cast<std::size_t>(number)] = CompactEntry(compactStream_, compactCount_++);
  Pdf::AppendInteger(compactIndex_, number);
  compactIndex_.append(' ');
  Pdf::AppendInteger(compactIndex_, compactBodies_.size());
  compactIndex_.append(' ');
  compactBodies_.append(body);
  compactBodies_.append('\n');
  anyCompact_ = true;
  // A few hundred objects deflate as well together as thousands, and a reader finds one without
  // inflating much.
  if (compactCount_ >= 200) FlushCompact();
}

void TPdfFile::FlushCompact() {
  if (compactStream_ == 0) return;
  QByteArray entries("/Type /ObjStm /N ");
  Pdf::AppendInteger(entries, compactCount_);
  entries.append(" /First ");
  Pdf::AppendInteger(entries, compactIndex_.size());
  Stream(compactStream_, entries, compactIndex_ + compactBodies_);
  compactStream_ = compactCount_ = 0;
  compactIndex_.resize(0);
  compactBodies_.resize(0);
}

void TPdfFile::Finish(int catalogue, int information, const QByteArray& identifier) {
  FlushCompact();
  QByteArray trailer(" /Root ");
  trailer.append(Pdf::Reference(catalogue));
  trailer.append(" /Info ");
  trailer.append(Pdf::Reference(information));
  if (!identifier.isEmpty())
    trailer.append(" /ID [" + Pdf::ByteString(identifier) + ' ' + Pdf::ByteString(identifier) + ']');
  if (anyCompact_) {
    WriteCrossReferenceStream(trailer);
  } else {
    WriteTable(trailer);
  }
}

void TPdfFile::WriteTable(const QByteArray& trailer) {
  const qint64 table = offset_;
  QByteArray out("xref\n0 ");
  Pdf::AppendInteger(out, static_cast<qint64>(offsets_.size()));
  out.append("\n0000000000 65535 f \n");
  for (std::size_t number = 1; number < offsets_.size(); ++number) {
    // An object reserved and never written is a free entry; a reference to it reads as null.
    const qint64 at = offsets_[number];
    char line[21];
    std::snprintf(line, sizeof line, at >= 0 ? "%010lld 00000 n \n" : "0000000000 00000 f \n",
                  static_cast<long long>(at));
    out.append(line, 20);
    // Written as it goes: a long document's table would be megabytes held at once, at its peak.
    if (out.size() >= 64 * 1024) {
      Write(out);
      out.resize(0);
    }
  }
  out.append("trailer\n<< /Size ");
  Pdf::AppendInteger(out, static_cast<qint64>(offsets_.size()));
  out.append(trailer);
  out.append(" >>\nstartxref\n");
  Pdf::AppendInteger(out, table);
  out.append("\n%%EOF\n");
  Write(out);
}

void TPdfFile::WriteCrossReferenceStream(const QByteArray& trailer) {
  const int self = Reserve();
  offsets_[static_cast<std::size_t>(self)] = offset_;
  // Each entry: its type (0 free, 1 at an offset, 2 in an object stream), the offset or the stream's
  // number, and the generation or the index in the stream, each field as few bytes as its largest needs.
  qint64 largest = 0;
  for (const qint64 at : offsets_) largest = std::max(largest, at >= 0 ? at : (-2 - at) >> 16);
  const auto bytesFor = [](qint64 value) {
    int bytes = 1;
    while (bytes < 8 && (value >> (8 * bytes)) != 0) ++bytes;
    return bytes;
  };
  const int middle = bytesFor(largest);
  const int last = 2;  // the free list's head has generation 65535
  QByteArray entries;
  entries.reserve(static_cast<qsizetype>(offsets_.size()) * (1 + middle + last));
  const auto append = [&entries, middle](int type, qint64 field, int final) {
    entries.append(static_cast<char>(type));
    for (int shift = 8 * (middle - 1); shift >= 0; shift -= 8)
      entries.append(static_cast<char>((field >> shift) & 0xFF));
    entries.append(static_cast<char>((final >> 8) & 0xFF));
    entries.append(static_cast<char>(final & 0xFF));
  };
  append(0, 0, 0xFFFF);
  for (std::size_t number = 1; number < offsets_.size(); ++number) {
    const qint64 at = offsets_[number];
    if (at >= 0) {
      append(1, at, 0);
    } else if (at == -1) {
      append(0, 0, 0);
    } else {
      const qint64 packed = -2 - at;
      append(2, packed >> 16, static_cast<int>(packed & 0xFFFF));
    }
  }
  QByteArray dictionary("/Type /XRef /Size ");
  Pdf::AppendInteger(dictionary, static_cast<qint64>(offsets_.size()));
  dictionary.append(" /W [1 ");
  Pdf::AppendInteger(dictionary, middle);
  dictionary.append(' ');
  Pdf::AppendInteger(dictionary, last);
  dictionary.append(']');
  dictionary.append(trailer);
  const qint64 start = offset_;
  Stream(self, dictionary, entries);
  QByteArray out("startxref\n");
  Pdf::AppendInteger(out, start);
  out.append("\n%%EOF\n");
  Write(out);
}
