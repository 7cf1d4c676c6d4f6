// The settings store as a user may have edited it by hand: whatever the file holds, reading never fails, a
// value written reads back as written, and a write keeps the other identifiers' values, the comments and the
// lines that are no entry at all.
#include "platform/Registry.h"
#include "platform/SysUtils.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QHash>
#include <QList>
#include <QPair>

namespace {
const QString StoreName = QStringLiteral("Pagewick.Ini");
const QString Missing = QStringLiteral("\x01missing");
const QStringList Sections = {QStringLiteral("Printer"), QStringLiteral("printer"), QStringLiteral("Other"),
                              QStringLiteral("A")};
const QStringList Identifiers = {QStringLiteral("View Background"), QStringLiteral("PageHeight"),
                                 QStringLiteral("PrinterName"), QStringLiteral("Preview Heading")};

bool IsBlank(char character) { return character == ' ' || character == '\t'; }

QByteArray WithoutBlankEnds(const QByteArray& text) {
  qsizetype start = 0;
  qsizetype end = text.size();
  while (start < end && IsBlank(text.at(start))) ++start;
  while (end > start && IsBlank(text.at(end - 1))) --end;
  return text.mid(start, end - start);
}

QList<QByteArray> Lines(QByteArray bytes) {
  if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
  bytes.replace("\r\n", "\n");
  bytes.replace('\r', '\n');
  if (bytes.endsWith('\n')) bytes.chop(1);
  return bytes.split('\n');
}

// Lines a write must give back as they stand: comments and lines that are no entry.
bool IsNoEntry(const QByteArray& line) {
  const QByteArray text = WithoutBlankEnds(line);
  if (text.isEmpty()) return false;
  if (line.contains('\0')) return true;
  const char first = text.at(0);
  if (first == ';' || first == '#' || first == '=') return true;
  if (first == '[') return !text.contains(']');
  return !line.contains('=');
}

// The sections and identifiers the file seems to name; whatever they read before a write of other
// identifiers, they read after it.
QList<QPair<QString, QString>> NamedEntries(const QByteArray& bytes) {
  QList<QPair<QString, QString>> entries;
  QByteArray section;
  for (const QByteArray& line : Lines(bytes)) {
    if (entries.size() >= 24) break;
    const QByteArray text = WithoutBlankEnds(line);
    // Names are asked for as C strings, so a zero byte would end one early and ask for another.
    if (line.contains('\0')) continue;
    if (text.startsWith('[') && text.contains(']')) {
      section = WithoutBlankEnds(text.mid(1, text.indexOf(']') - 1));
    } else if (!text.isEmpty() && text.at(0) != ';' && text.at(0) != '#' && text.indexOf('=') > 0) {
      entries.append(
          {QString::fromUtf8(section), QString::fromUtf8(WithoutBlankEnds(text.left(text.indexOf('='))))});
    }
  }
  return entries;
}

bool SameName(const QString& one, const QString& other) {
  return one.compare(other, Qt::CaseInsensitive) == 0;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  StartFuzzing();
  return 0;
}

// The input: a selector byte (the section and the two identifiers written), the length of the value and the
// value, then the store's file as it is before the write.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2 || size > 64 * 1024) return 0;
  const std::uint8_t selector = data[0];
  const std::size_t valueLength = std::min<std::size_t>(data[1] % 64, size - 2);
  const QString value =
      QString::fromUtf8(reinterpret_cast<const char*>(data + 2), static_cast<qsizetype>(valueLength));
  const QByteArray before = InputBytes(data + 2 + valueLength, size - 2 - valueLength);

  const QString section = Sections.at(selector % Sections.size());
  const QString first = Identifiers.at((selector >> 2) % Identifiers.size());
  const QString second = Identifiers.at(((selector >> 2) + 1 + ((selector >> 4) % 3)) % Identifiers.size());
  const QString quoted = QLatin1Char('"') + value + QLatin1Char('"');

  const QString fileName = TRegIniFile::ConfigurationFolder() + QLatin1Char('/') + StoreName;
  WriteFuzzFile(fileName, before);
  TRegIniFile store(StoreName);
  const QList<QPair<QString, QString>> named = NamedEntries(before);
  QList<QString> valuesBefore;
  try {
    for (const auto& [entrySection, ident] : named)
      valuesBefore.append(store.ReadString(entrySection, ident, Missing));
    store.ReadString(section, first, Missing);
  } catch (const Exception&) {
    FuzzCheck(false, "a small plain store can always be read");
  }

  const bool lineBreak =
      value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')) || value.contains(QChar(u'\0'));
  try {
    store.WriteStrings(section, {{first, value}, {second, quoted}});
    FuzzCheck(!lineBreak, "a value with a line break is refused");
  } catch (const Exception&) {
    FuzzCheck(lineBreak, "a small plain store can always be written");
    FuzzCheck(ReadFuzzFile(fileName) == before, "a refused write leaves the store as it was");
    return 0;
  }

  FuzzCheck(store.ReadString(section, first, Missing) == value, "a value reads back as written");
  FuzzCheck(store.ReadString(section, second, Missing) == quoted, "a value in quotes reads back as written");
  for (qsizetype index = 0; index < named.size(); ++index) {
    const auto& [entrySection, ident] = named.at(index);
    if (SameName(entrySection, section) && (SameName(ident, first) || SameName(ident, second))) continue;
    FuzzCheck(store.ReadString(entrySection, ident, Missing) == valuesBefore.at(index),
              "a write keeps the values of the other identifiers");
  }

  QHash<QByteArray, int> kept;
  for (const QByteArray& line : Lines(ReadFuzzFile(fileName))) ++kept[line];
  for (const QByteArray& line : Lines(before)) {
    if (IsNoEntry(line)) FuzzCheck(kept[line]-- > 0, "a write keeps comments and lines that are no entry");
  }
  return 0;
}
