#include "platform/Mask.h"

#include <vector>

namespace {
// What each of the framework's mask characters is in a Qt input mask.
QChar QtPlaceholder(QChar character) {
  switch (character.unicode()) {
    case u'0': return QLatin1Char('9');
    case u'9': return QLatin1Char('0');
    case u'#': return QLatin1Char('#');
    case u'L': return QLatin1Char('A');
    case u'l': return QLatin1Char('a');
    case u'A': return QLatin1Char('N');
    case u'a': return QLatin1Char('n');
    case u'C': return QLatin1Char('X');
    case u'c': return QLatin1Char('x');
    default: return QChar();
  }
}

// Characters that mean something in a Qt input mask and so must be escaped to stand for themselves.
bool IsQtMaskCharacter(QChar character) {
  static const QString special = QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\;");
  return special.contains(character);
}

// One place of a mask: a literal character, or a place for typed input.
struct MaskPlace {
  bool literal;
  QChar character;  // the literal, or the framework's placeholder
};

std::vector<MaskPlace> Places(const QString& mask) {
  std::vector<MaskPlace> places;
  for (int index = 0; index < mask.size(); ++index) {
    const QChar character = mask.at(index);
    if (character == QLatin1Char('\\') && index + 1 < mask.size()) {
      places.push_back({true, mask.at(++index)});
    } else if (character == QLatin1Char('>') || character == QLatin1Char('<') ||
               character == QLatin1Char('!')) {
      continue;
    } else if (!QtPlaceholder(character).isNull()) {
      places.push_back({false, character});
    } else {
      places.push_back({true, character == QLatin1Char('_') ? QLatin1Char(' ') : character});
    }
  }
  return places;
}
}  // namespace

TEditMask TEditMask::Parse(const QString& editMask) {
  TEditMask result;
  // The mask part ends at the first ";" that is not escaped.
  int end = 0;
  while (end < editMask.size() && editMask.at(end) != QLatin1Char(';')) {
    if (editMask.at(end) == QLatin1Char('\\')) ++end;
    ++end;
  }
  result.Mask = editMask.left(end);
  const QStringList rest = editMask.mid(end + 1).split(QLatin1Char(';'));
  if (end < editMask.size() && !rest.isEmpty() && !rest.at(0).isEmpty())
    result.SaveLiterals = rest.at(0) != QLatin1String("0");
  if (rest.size() >= 2 && !rest.at(1).isEmpty()) result.Blank = rest.at(1).at(0);
  return result;
}

QString TEditMask::ToInputMask() const {
  if (Mask.isEmpty()) return QString();
  QString input;
  for (int index = 0; index < Mask.size(); ++index) {
    const QChar character = Mask.at(index);
    if (character == QLatin1Char('\\') && index + 1 < Mask.size()) {
      input += QLatin1Char('\\');
      input += Mask.at(++index);
    } else if (character == QLatin1Char('<') && index + 1 < Mask.size() &&
               Mask.at(index + 1) == QLatin1Char('>')) {
      input += QLatin1Char('!');
      ++index;
    } else if (character == QLatin1Char('>') || character == QLatin1Char('<')) {
      input += character;
    } else if (character == QLatin1Char('!')) {
      continue;  // the framework's blank trimming has no counterpart; the text keeps its places
    } else if (const QChar placeholder = QtPlaceholder(character); !placeholder.isNull()) {
      input += placeholder;
    } else {
      const QChar literal = character == QLatin1Char('_') ? QLatin1Char(' ') : character;
      if (IsQtMaskCharacter(literal)) input += QLatin1Char('\\');
      input += literal;
    }
  }
  return input + QLatin1Char(';') + Blank;
}

QString TEditMask::TextOf(const QString& editText) const {
  if (Mask.isEmpty()) return editText;
  const std::vector<MaskPlace> places = Places(Mask);
  QString text;
  for (std::size_t index = 0; index < places.size(); ++index) {
    const QChar shown =
        index < static_cast<std::size_t>(editText.size()) ? editText.at(static_cast<int>(index)) : Blank;
    if (places[index].literal) {
      if (SaveLiterals) text += places[index].character;
    } else {
      text += shown == Blank ? QLatin1Char(' ') : shown;
    }
  }
  return text;
}

TCustomMaskEdit::TCustomMaskEdit(QWidget* parent) : TCustomEdit(parent) {}

void TCustomMaskEdit::SetEditMask(const QString& editMask) {
  if (editMask == editMask_) return;
  const QString text = Text();
  editMask_ = editMask;
  mask_ = TEditMask::Parse(editMask);
  setInputMask(mask_.ToInputMask());
  SetText(text);
}

QString TCustomMaskEdit::Text() const {
  if (!IsMasked()) return TCustomEdit::Text();
  return mask_.TextOf(displayText());
}

TMaskEdit::TMaskEdit(QWidget* parent) : TCustomMaskEdit(parent) {}
