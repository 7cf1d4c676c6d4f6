#pragma once

// The bare syntax of a PDF file, written front to back so no page of a long document stays in memory.

#include <QByteArray>
#include <QString>
#include <deque>

class QIODevice;
struct libdeflate_compressor;

/**
 * The syntax of a PDF file, written front to back onto a device: numbered objects, streams deflated at a
 * chosen level, and at the end the cross-reference table and the trailer. Objects are written as soon as
 * they are whole, so the file grows as pages are played and nothing of a page stays in memory. It knows
 * nothing of pages, fonts or pictures.
 */
class TPdfFile {
public:
  /** Writes the file's header; level is libdeflate's compression level (1 fastest ... 12 smallest). */
  TPdfFile(QIODevice& device, int deflateLevel);
  ~TPdfFile();
  TPdfFile(const TPdfFile&) = delete;
  TPdfFile& operator=(const TPdfFile&) = delete;

  /** A new object number, for an object written later (a reference to it can be written now). */
  int Reserve();
  /** Writes the object's body ("<< ... >>", an array, a number) under its number. */
  void Object(int number, const QByteArray& body);
  /**
   * Writes a small object that is no stream into an object stream with others of its kind, deflated
   * together: a tagged document has an element for each table cell, and hundreds of thousands of them
   * written one by one would make the file many times the size of its pages. A file with such objects ends
   * with a cross-reference stream instead of a table.
   */
  void CompactObject(int number, const QByteArray& body);
  /**
   * Writes a stream object: its dictionary's entries (without Length and Filter) and its data, deflated
   * when that makes it smaller.
   */
  void Stream(int number, const QByteArray& entries, const QByteArray& data);
  /** Writes a stream whose data is already encoded; its entries name the filter. */
  void RawStream(int number, const QByteArray& entries, const QByteArray& data);
  /**
   * Writes the cross-reference table and the trailer naming the catalogue and the document information, and
   * the file's identifier (16 bytes) when one is given.
   */
  void Finish(int catalogue, int information, const QByteArray& identifier = QByteArray());

  /** Whether a write to the device failed (the device then says why); everything after it is lost. */
  bool Failed() const { return failed_; }

private:
  void Write(const QByteArray& bytes);
  void Write(const char* bytes, qsizetype length);
  /** Writes the compact objects gathered so far as one object stream. */
  void FlushCompact();
  void WriteTable(const QByteArray& trailer);
  void WriteCrossReferenceStream(const QByteArray& trailer);

  QIODevice& device_;
  qint64 offset_ = 0;
  /**
   * Each object's offset in the file, by number (index 0 is the free list's head). In blocks that never
   * move: a long document has a hundred thousand objects, and an array doubled as it grows would hold half
   * as much again, empty, when the document's memory peaks at its end.
   */
  std::deque<qint64> offsets_{0};
  /** The object stream being gathered: its number, its objects' numbers and offsets, and their bodies. */
  int compactStream_ = 0;
  int compactCount_ = 0;
  QByteArray compactIndex_;
  QByteArray compactBodies_;
  bool anyCompact_ = false;
  libdeflate_compressor* compressor_ = nullptr;
  QByteArray compressed_;
  bool failed_ = false;
};

/** PDF's small pieces of syntax, each appended to a content stream or a dictionary. */
namespace Pdf {
/** A number in the shortest decimal form that keeps four decimals: "12", "0.5", "-3.1416". */
void AppendNumber(QByteArray& out, double value);
/** A whole number. */
void AppendInteger(QByteArray& out, qint64 value);
/** "n 0 R". */
QByteArray Reference(int number);
/** A text string as UTF-16 with its byte order mark, in hexadecimal: <FEFF...>. */
QByteArray TextString(const QString& text);
/** A string of bytes (an ASCII URI), in hexadecimal: <68747470...>. */
QByteArray ByteString(const QByteArray& bytes);
/** A name object ("/Name"), every byte outside the regular characters written as #xx. */
QByteArray Name(const QByteArray& name);
/**
 * A structure role's name object: Name of its Latin-1 bytes, kept for the roles met lately, since a tagged
 * table names the same few roles for every cell.
 */
QByteArray RoleName(const QString& role);
}  // namespace Pdf
