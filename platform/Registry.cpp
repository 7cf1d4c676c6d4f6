#include "platform/Registry.h"

#include "platform/AtomicFile.h"
#include "platform/SysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>
#include <vector>

// Only the byte-string flavour is used (UTF-8 throughout), so no character conversion library is needed;
// the Debian package compiles the template bodies only where asked.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

namespace {

using IniDocument = CSimpleIniCaseA;

// SimpleIni keeps comments, sections, entries and their order, but drops or changes some lines a hand-edited
// file may hold (measured on 4.19): a line without "=" or with nothing before it is dropped, an unclosed
// "[" swallows the next line into a section name, comments after the last entry are dropped, an indented
// comment loses its blanks, and a zero byte cuts the file short. Such lines are handed to it as comments
// carrying a mark, and turned back into themselves when the file is written.
constexpr char Mark = '\x01';
const std::string KeptLinePrefix = std::string(";") + Mark;
// A last section of our own, so comments after the last entry have something to stay in front of.
const std::string EndSection = std::string("[") + Mark + "end]";
const QByteArray ByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");

bool IsBlank(char character) { return character == ' ' || character == '\t'; }

std::string::size_type FirstNonBlank(const std::string& line) {
  std::string::size_type position = 0;
  while (position < line.size() && IsBlank(line[position])) ++position;
  return position;
}

std::string KeptLine(const std::string& line) {
  std::string kept = KeptLinePrefix;
  for (const char character : line) {
    if (character == Mark)
      kept += std::string{Mark, 'a'};
    else if (character == '\0')
      kept += std::string{Mark, 'z'};
    else
      kept += character;
  }
  return kept;
}

std::string RestoredLine(const std::string& kept) {
  std::string line;
  for (std::string::size_type position = KeptLinePrefix.size(); position < kept.size(); ++position) {
    if (kept[position] == Mark && position + 1 < kept.size()) {
      line += kept[++position] == 'z' ? '\0' : Mark;
    } else {
      line += kept[position];
    }
  }
  return line;
}

// One line of the file as SimpleIni gets it: untouched when it reads and writes it faithfully, else kept.
void AddLine(const std::string& line, std::string& text) {
  const auto keep = [&text](const std::string& kept) { text += KeptLine(kept) + '\n'; };
  if (line.find('\0') != std::string::npos) return keep(line);
  const std::string::size_type start = FirstNonBlank(line);
  if (start == line.size()) {
    text += '\n';
    return;
  }
  const char first = line[start];
  if (first == ';' || first == '#') {
    // A comment of the user's own that looks like a kept line is kept too, so it comes back unchanged.
    if (start == 0 && line.rfind(KeptLinePrefix, 0) != 0)
      text += line + '\n';
    else
      keep(line);
    return;
  }
  if (first == '[') {
    const std::string::size_type close = line.find(']', start);
    if (close == std::string::npos) return keep(line);
    const std::string name = line.substr(start + 1, close - start - 1);
    if (FirstNonBlank(name) == name.size() || name.find(Mark) != std::string::npos) return keep(line);
    text += line.substr(0, close + 1) + '\n';
    // Words after the closing bracket would be dropped; they stay as a line of their own.
    const std::string rest = line.substr(close + 1);
    if (FirstNonBlank(rest) < rest.size()) keep(rest.substr(FirstNonBlank(rest)));
    return;
  }
  if (first == '=' || line.find('=') == std::string::npos) return keep(line);
  text += line + '\n';
}

// The file's bytes as SimpleIni is to read them.
std::string IniText(QByteArray bytes, bool& byteOrderMark) {
  byteOrderMark = bytes.startsWith(ByteOrderMark);
  if (byteOrderMark) bytes.remove(0, ByteOrderMark.size());
  bytes.replace("\r\n", "\n");
  bytes.replace('\r', '\n');
  std::string text;
  text.reserve(static_cast<std::string::size_type>(bytes.size()) + 64);
  qsizetype start = 0;
  while (start < bytes.size()) {
    qsizetype end = bytes.indexOf('\n', start);
    if (end < 0) end = bytes.size();
    AddLine(std::string(bytes.constData() + start, static_cast<std::string::size_type>(end - start)), text);
    start = end + 1;
  }
  text += EndSection + '\n';
  // SimpleIni takes the comments that open the file for the file's own comment and writes a blank line after
  // them; comments that lead straight into an entry belong to that entry instead.
  std::string::size_type position = 0;
  while (position < text.size() && (text[position] == ';' || text[position] == '#')) {
    position = text.find('\n', position) + 1;
  }
  if (position > 0 && position < text.size() && text[position] != '\n') text.insert(0, 1, '\n');
  return text;
}

bool IsComment(const std::string& line) { return !line.empty() && (line[0] == ';' || line[0] == '#'); }

// SimpleIni's output turned back into the file: kept lines as they were, its own spacing (a blank line
// before each commented entry, two between sections) made one blank line between sections.
QByteArray FileBytes(const std::string& saved, bool byteOrderMark) {
  std::vector<std::string> lines;
  std::string::size_type start = 0;
  while (start < saved.size()) {
    std::string::size_type end = saved.find('\n', start);
    if (end == std::string::npos) end = saved.size();
    lines.push_back(saved.substr(start, end - start));
    start = end + 1;
  }
  QByteArray bytes = byteOrderMark ? ByteOrderMark : QByteArray();
  int blanks = 0;
  bool written = false;
  for (const std::string& line : lines) {
    if (line == EndSection) continue;
    if (line.empty()) {
      ++blanks;
      continue;
    }
    if (written && (blanks >= 2 || (blanks == 1 && !IsComment(line)))) bytes += '\n';
    blanks = 0;
    written = true;
    const std::string text = line.rfind(KeptLinePrefix, 0) == 0 ? RestoredLine(line) : line;
    bytes.append(text.data(), static_cast<qsizetype>(text.size()));
    bytes += '\n';
  }
  return bytes;
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

// The store's file, read and parsed, or refused with a message naming it.
class StoreDocument {
public:
  explicit StoreDocument(const QString& fileName) : fileName_(fileName) {
    document_.SetUnicode(true);
    document_.SetMultiKey(true);
    document_.SetMultiLine(false);
    document_.SetQuotes(false);
    document_.SetSpaces(false);
    document_.SetAllowKeyOnly(false);

    QByteArray bytes;
    QString reason;
    switch (ReadRegularFile(fileName_, TRegIniFile::MaximumFileSize, bytes, &reason)) {
      case TFileRead::Read:
      case TFileRead::Missing: break;
      case TFileRead::NotRegular:
        throw Exception(QStringLiteral("The settings file \"%1\" is not a plain file and is not used.")
                            .arg(ShownName(fileName_)));
      case TFileRead::TooLarge:
        throw Exception(QStringLiteral("The settings file \"%1\" is larger than %2 KiB and is not used.")
                            .arg(ShownName(fileName_), QString::number(TRegIniFile::MaximumFileSize / 1024)));
      case TFileRead::Failed:
        throw Exception(
            QStringLiteral("The settings file \"%1\" cannot be read: %2").arg(ShownName(fileName_), reason));
    }
    if (document_.LoadData(IniText(bytes, byteOrderMark_)) < 0) {
      throw Exception(QStringLiteral("The settings file \"%1\" cannot be read.").arg(ShownName(fileName_)));
    }
  }

  const char* Value(const QByteArray& section, const QByteArray& ident) const {
    return document_.GetValue(section.constData(), ident.constData(), nullptr);
  }

  void SetValue(const QByteArray& section, const QByteArray& ident, const QByteArray& value) {
    if (document_.SetValue(section.constData(), ident.constData(), value.constData(), nullptr, true) < 0) {
      throw Exception(
          QStringLiteral("Cannot write the settings file \"%1\": out of memory.").arg(ShownName(fileName_)));
    }
  }

  void Save() const {
    std::string saved;
    if (document_.Save(saved, false) < 0) {
      throw Exception(QStringLiteral("Cannot write the settings file \"%1\".").arg(ShownName(fileName_)));
    }
    const QByteArray bytes = FileBytes(saved, byteOrderMark_);
    if (bytes.size() > TRegIniFile::MaximumFileSize) {
      throw Exception(
          QStringLiteral("The settings file \"%1\" would grow larger than %2 KiB; it is left as it "
                         "was.")
              .arg(ShownName(fileName_), QString::number(TRegIniFile::MaximumFileSize / 1024)));
    }
    // A new file takes the old one's place in one step; a symbolic link is followed to the file it names.
    WriteFileAtomically(fileName_, bytes, QStringLiteral("Cannot write the settings file"));
  }

private:
  QString fileName_;
  IniDocument document_;
  bool byteOrderMark_ = false;
};

// Names the file could not hold as they are, or that would read back as something else.
void CheckSection(const QString& fileName, const QString& section) {
  if (section.isEmpty() || HoldsLineBreak(section) || HasBlankEnds(section) ||
      section.contains(QLatin1Char(']')) || section.contains(QChar(Mark))) {
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
  const StoreDocument document(fileName_);
  const char* value = document.Value(section.toUtf8(), ident.toUtf8());
  if (value == nullptr) return fallback;
  std::string text(value);
  if (IsQuoted(text)) text = text.substr(1, text.size() - 2);
  return QString::fromStdString(text);
}

void TRegIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  WriteStrings(section, {{ident, value}});
}

void TRegIniFile::WriteStrings(const QString& section, const QList<QPair<QString, QString>>& values) {
  CheckSection(fileName_, section);
  for (const auto& [ident, value] : values) {
    CheckIdentifier(fileName_, ident);
    if (HoldsLineBreak(value)) {
      throw Exception(
          QStringLiteral("The value of \"%1\" cannot be kept in the settings file \"%2\": it holds "
                         "a line break.")
              .arg(ShownName(ident), ShownName(fileName_)));
    }
  }
  StoreDocument document(fileName_);
  for (const auto& [ident, value] : values) {
    // Blanks at either end would be read away, and quotes around the whole would be taken off.
    const bool quote = HasBlankEnds(value) || (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
                                               value.endsWith(QLatin1Char('"')));
    document.SetValue(section.toUtf8(), ident.toUtf8(), (quote ? Quoted(value) : value).toUtf8());
  }
  document.Save();
}
