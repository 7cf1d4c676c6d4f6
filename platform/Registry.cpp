#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <optional>
#include <string>
#include <vector>

// Only the byte-string flavour is used (UTF-8 throughout), so no character conversion library is needed;
// the Debian package compiles the template bodies only where asked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace {

using IniDocument = CSimpleIniCaseA;

// SimpleIni reads the store. It mistakes some lines a hand-edited file may hold (measured on 4.19): an
// unclosed "[" swallows the next line into a section name, a zero byte cuts the file short, and so on. Each
// line is therefore classified first, by the rules SimpleIni reads a clean line with, and a line it could
// misread is handed to it as a comment. Writes never go through SimpleIni: they change the lines of the
// values written, or add lines, and leave every other byte of the file as it was.
const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

bool IsBlank(char character) { return character == ' ' || character == '\t'; }

std::string Trimmed(const std::string& text) {
  std::string::size_type start = 0;
  std::string::size_type end = text.size();
  while (start < end && IsBlank(text[start])) ++start;
  while (end > start && IsBlank(text[end - 1])) --end;
  return text.substr(start, end - start);
}

// Names compare as the reader (SimpleIni's case-sensitive flavour) compares them: byte for byte.
bool SameName(const std::string& one, const std::string& other) { return one == other; }

enum class TLineKind { Blank, Comment, Section, Entry, Other };

// What a line of the file is, and for a section or an entry its name.
struct TLine {
  TLineKind Kind = TLineKind::Other;
  std::string Name;
  /** For a section: the length of "[name]", after which the line's other words stand. */
  std::string::size_type HeaderEnd = 0;
};

TLine Classify(const std::string& line) {
  TLine result;
  if (line.find('\0') != std::string::npos) return result;
  const std::string text = Trimmed(line);
  if (text.empty()) {
    result.Kind = TLineKind::Blank;
    return result;
  }
  const char first = text.front();
  if (first == ';' || first == '#') {
    // An indented comment would lose its blanks on the way through SimpleIni, so it is kept from it.
    if (!IsBlank(line.front())) result.Kind = TLineKind::Comment;
    return result;
  }
  if (first == '[') {
    const std::string::size_type open = line.find('[');
    const std::string::size_type close = line.find(']', open);
    if (close == std::string::npos) return result;
    const std::string name = Trimmed(line.substr(open + 1, close - open - 1));
    if (name.empty()) return result;
    result.Kind = TLineKind::Section;
    result.Name = name;
    result.HeaderEnd = close + 1;
    return result;
  }
  const std::string::size_type equals = line.find('=');
  if (first == '=' || equals == std::string::npos) return result;
  result.Kind = TLineKind::Entry;
  result.Name = Trimmed(line.substr(0, equals));
  return result;
}

// A line SimpleIni must not read goes to it as an empty comment: it reads as nothing.
const std::string Unread = ";";

// The file as lines (the byte order mark apart), each with the line break that ends it: "\n", "\r\n", "\r"
// or nothing for the last.
struct TFileLines {
  bool ByteOrderMark = false;
  std::vector<std::string> Lines;
  std::vector<std::string> Breaks;
};

TFileLines SplitLines(QByteArray bytes) {
  TFileLines file;
  file.ByteOrderMark = bytes.startsWith(ByteOrderMark);
  if (file.ByteOrderMark) bytes.remove(0, ByteOrderMark.size());
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = start;
    while (end < bytes.size() && bytes.at(end) != '\n' && bytes.at(end) != '\r') ++end;
    file.Lines.emplace_back(bytes.constData() + start, static_cast<std::string::size_type>(end - start));
    std::string lineBreak;
    if (end < bytes.size())
      lineBreak = bytes.at(end) == '\r' && end + 1 < bytes.size() && bytes.at(end + 1) == '\n'
                      ? "\r\n"
                      : std::string(1, bytes.at(end));
    file.Breaks.push_back(lineBreak);
    start = end + static_cast<qsizetype>(lineBreak.size()) + (lineBreak.empty() ? 1 : 0);
  }
  return file;
}

QByteArray JoinLines(const TFileLines& file) {
  QByteArray bytes = file.ByteOrderMark ? ByteOrderMark : QByteArray();
  for (std::size_t index = 0; index < file.Lines.size(); ++index) {
    bytes.append(file.Lines[index].data(), static_cast<qsizetype>(file.Lines[index].size()));
    bytes.append(file.Breaks[index].data(), static_cast<qsizetype>(file.Breaks[index].size()));
  }
  return bytes;
}

// The file's text as SimpleIni is to read it: clean lines as they are, the others as kept comments, and the
// words after a section's closing bracket on a kept line of their own.
std::string IniText(const TFileLines& file) {
  std::string text;
  for (const std::string& line : file.Lines) {
    const TLine kind = Classify(line);
    switch (kind.Kind) {
      case TLineKind::Blank: break;
      case TLineKind::Comment:
      case TLineKind::Entry: text += line; break;
      case TLineKind::Section: text += "[" + kind.Name + "]\n" + Unread; break;
      case TLineKind::Other: text += Unread; break;
    }
    text += '\n';
  }
  return text;
}

bool HoldsLineBreak(const QString& text) {
  return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r')) || text.contains(QChar(u'\0'));
}

bool HasBlankEnds(const QString& text) {
  return !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
}

QString Quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

bool IsQuoted(const std::string& text) {
  return text.size() >= 2 && text.front() == '"' && text.back() == '"';
}

// A stored value as text, a byte order mark at its start included (a plain UTF-8 decode would drop it).
QString Decoded(const std::string& value) {
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
  return decoder.decode(QByteArrayView(value.data(), static_cast<qsizetype>(value.size())));
}

// The store's bytes, or a refusal naming the file.
QByteArray StoreBytes(const QString& fileName) {
  QByteArray bytes;
  QString reason;
  switch (ReadRegularFile(fileName, TRegIniFile::MaximumFileSize, bytes, &reason)) {
    case TFileRead::Read:
    case TFileRead::Missing: return bytes;
    case TFileRead::NotRegular:
      throw Exception(QStringLiteral("The settings file \"%1\" is not a plain file and is not used.")
                          .arg(ShownName(fileName)));
    case TFileRead::TooLarge:
      throw Exception(QStringLiteral("The settings file \"%1\" is larger than %2 KiB and is not used.")
                          .arg(ShownName(fileName), QString::number(TRegIniFile::MaximumFileSize / 1024)));
    case TFileRead::Failed:
      throw Exception(
          QStringLiteral("The settings file \"%1\" cannot be read: %2").arg(ShownName(fileName), reason));
  }
  return bytes;
}

// The store's content as read.
class StoreDocument {
public:
  StoreDocument(const QString& fileName, const QByteArray& bytes) {
    document_.SetUnicode(true);
    document_.SetMultiKey(true);
    document_.SetMultiLine(false);
    document_.SetQuotes(false);
    document_.SetSpaces(false);
    document_.SetAllowKeyOnly(false);
    if (document_.LoadData(IniText(SplitLines(bytes))) < 0) {
      throw Exception(QStringLiteral("The settings file \"%1\" cannot be read.").arg(ShownName(fileName)));
    }
  }

  /** The value as the program reads it (quotes around the whole taken off), or nothing. */
  std::optional<QString> Value(const QByteArray& section, const QByteArray& ident) const {
    const char* value = document_.GetValue(section.constData(), ident.constData(), nullptr);
    if (value == nullptr) return std::nullopt;
    std::string text(value);
    if (IsQuoted(text)) text = text.substr(1, text.size() - 2);
    return Decoded(text);
  }

private:
  IniDocument document_;
};

// The file with the values written: the line that gives an identifier its value now gives the new one; an
// identifier new to the section goes after the section's last entry (of its first occurrence), and a new
// section at the end of the file. Every other line stays as it was, byte for byte.
QByteArray Edited(const QByteArray& bytes, const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& values) {
  TFileLines file = SplitLines(bytes);
  // New lines end the way the file's lines do.
  std::string lineBreak = "\n";
  for (const std::string& existing : file.Breaks) {
    if (!existing.empty()) {
      lineBreak = existing;
      break;
    }
  }
  const auto insert = [&file, &lineBreak](std::size_t at, const std::string& line) {
    // The line before ends with a break now, if it was the last one.
    if (at > 0 && file.Breaks[at - 1].empty()) file.Breaks[at - 1] = lineBreak;
    file.Lines.insert(file.Lines.begin() + static_cast<std::ptrdiff_t>(at), line);
    file.Breaks.insert(file.Breaks.begin() + static_cast<std::ptrdiff_t>(at), lineBreak);
  };
  for (const auto& [ident, value] : values) {
    // Of an identifier given twice, the first gives the value, in whichever occurrence of the section.
    enum { NotSeen, InFirst, PastFirst } occurrence = NotSeen;
    bool inSection = false;
    bool found = false;
    std::size_t end = 0;  // after the last entry of the section's first occurrence
    for (std::size_t index = 0; index < file.Lines.size() && !found; ++index) {
      const TLine kind = Classify(file.Lines[index]);
      if (kind.Kind == TLineKind::Section) {
        inSection = SameName(kind.Name, section);
        if (occurrence == InFirst) occurrence = PastFirst;
        if (inSection && occurrence == NotSeen) {
          occurrence = InFirst;
          end = index + 1;
        }
      } else if (kind.Kind == TLineKind::Entry && inSection) {
        if (SameName(kind.Name, ident)) {
          std::string& old = file.Lines[index];
          old = old.substr(0, old.find('=') + 1) + value;
          found = true;
        } else if (occurrence == InFirst) {
          end = index + 1;
        }
      }
    }
    if (found) continue;
    if (occurrence != NotSeen) {
      insert(end, ident + "=" + value);
    } else {
      if (!file.Lines.empty()) insert(file.Lines.size(), std::string());
      insert(file.Lines.size(), "[" + section + "]");
      insert(file.Lines.size(), ident + "=" + value);
    }
  }
  return JoinLines(file);
}

// Names the file could not hold as they are, or that would read back as something else.
void CheckSection(const QString& fileName, const QString& section) {
  if (section.isEmpty() || HoldsLineBreak(section) || HasBlankEnds(section) ||
      section.contains(QLatin1Char(']'))) {
    throw Exception(QStringLiteral("\"%1\" cannot be a section of the settings file \"%2\".")
                        .arg(ShownName(section), ShownName(fileName)));
  }
}

void CheckIdentifier(const QString& fileName, const QString& ident) {
  if (ident.isEmpty() || HoldsLineBreak(ident) || HasBlankEnds(ident) || ident.contains(QLatin1Char('=')) ||
      ident.startsWith(QLatin1Char(';')) || ident.startsWith(QLatin1Char('#')) ||
      ident.startsWith(QLatin1Char('['))) {
    throw Exception(QStringLiteral("\"%1\" cannot be an identifier of the settings file \"%2\".")
                        .arg(ShownName(ident), ShownName(fileName)));
  }
}
}  // namespace

QString TRegIniFile::ConfigurationFolder() {
  const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!configured.isEmpty() && QDir::isAbsolutePath(configured)) return configured;
  return QDir::homePath() + QStringLiteral("/.config");
}

TRegIniFile::TRegIniFile(const QString& name) : fileName_(ConfigurationFolder() + QLatin1Char('/') + name) {
  // Opening creates the store when it is missing, as the registry key it stands for would be.
  if (!QFileInfo::exists(fileName_)) {
    QDir().mkpath(QFileInfo(fileName_).absolutePath());
    QFile file(fileName_);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) file.close();
  }
}

TRegIniFile::~TRegIniFile() = default;

QString TRegIniFile::ReadString(const QString& section, const QString& ident, const QString& fallback) const {
  const StoreDocument document(fileName_, StoreBytes(fileName_));
  return document.Value(section.toUtf8(), ident.toUtf8()).value_or(fallback);
}

void TRegIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  WriteStrings(section, {{ident, value}});
}

void TRegIniFile::WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values) {
  CheckSection(fileName_, section);
  std::vector<std::pair<std::string, std::string>> lines;
  for (const auto& [ident, value] : values) {
    CheckIdentifier(fileName_, ident);
    if (HoldsLineBreak(value)) {
      throw Exception(
          QStringLiteral("The value of \"%1\" cannot be kept in the settings file \"%2\": it holds "
                         "a line break.")
              .arg(ShownName(ident), ShownName(fileName_)));
    }
    // Blanks at either end would be read away, and quotes around the whole would be taken off.
    const bool quote = HasBlankEnds(value) || (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
                                               value.endsWith(QLatin1Char('"')));
    lines.emplace_back(ident.toStdString(), (quote ? Quoted(value) : value).toStdString());
  }
  const QByteArray before = StoreBytes(fileName_);
  const QByteArray after = Edited(before, section.toStdString(), lines);
  if (after == before) return;
  if (after.size() > MaximumFileSize) {
    throw Exception(
        QStringLiteral("The settings file \"%1\" would grow larger than %2 KiB; it is left as it was.")
            .arg(ShownName(fileName_), QString::number(MaximumFileSize / 1024)));
  }
  // The changed file is read back before it replaces the old one: a hand-edited file whose lines read
  // otherwise than they look is left as it was rather than given values that would not be found.
  const StoreDocument check(fileName_, after);
  for (const auto& [ident, value] : values) {
    if (check.Value(section.toUtf8(), ident.toUtf8()) != value) {
      throw Exception(
          QStringLiteral("The settings file \"%1\" is laid out so that \"%2\" would not read back "
                         "as written; it is left as it was.")
              .arg(ShownName(fileName_), ShownName(ident)));
    }
  }
  // A new file takes the old one's place in one step; a symbolic link is followed to the file it names.
  WriteFileAtomically(fileName_, after, QStringLiteral("Cannot write the settings file"));
}
