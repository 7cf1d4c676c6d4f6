#include "app/Numb.h"

#include "app/CalcFrm.h"
#include "platform/StdCtrls.h"

#include <iterator>

int NameTotal = 0;

namespace {
// Values of A to Z; W has none.
constexpr int LetterValues[26] = {
    1,   2,   3,   4,  5,   6,   7,   8,  9,   // A-I
    600,                                       // J
    10,  20,  30,  40, 50,  60,  70,  80, 90,  // K-S
    100, 200, 700, 0,  300, 400, 500,          // T U V W X Y Z
};

// A digraph's second letter is overwritten with this mark so the loop passes over it; the same mark ends the
// working copy, so an H in the last place looks ahead at nothing.
constexpr char16_t Mark = u'!';

struct MeaningRow {
  int Value;
  const char16_t* Text;
};

constexpr MeaningRow WholeTotals[] = {
    {1000, u"1000. AMBITION"},
    {1095, u"1095. DOOMED TO PERSECUTION, MARTYR"},
    {1260, u"1260. TORMENTS, CONSOLATION IN OLD AGE"},
    {1390, u"1390. PHYSICAL WEAKNESS, MENTAL ENERGY"},
};

constexpr MeaningRow Hundreds[] = {
    {100, u"100. FAVORS, HONORS, GLORY"},
    {120, u"120. GOOD SPOUSE, FERVENT PATRIOT"},
    {150, u"150. FLATTERY, HYPOCRISY"},
    {200, u"200. LACK OF RESOLUTION"},
    {215, u"215. CALAMITY"},
    {300, u"300. ARDENT FAITH, PHILOSOPHY"},
    {313, u"313. PERCEPTIVENESS, LUCIDITY"},
    {350, u"350. NAIVET\u00C9, HOPE IN JUSTICE"},
    {360, u"360. SOCIABILITY, MANY TALENTS"},
    {365, u"365. ULTERIOR MOTIVES, SELF-INTEREST, EGOTISM"},
    {400, u"400. ART, LOVE, PASSION"},
    {490, u"490. CLOISTER, FERVOR, MYSTERY"},
    {500, u"500. ELECTION, HONORS, STATURE"},
    {600, u"600. VICTIM OF ENVY, SUCCESS, CATASTROPHE"},
    {666, u"666. CONSPIRACY, PLOT, SOCIAL DOWNFALL"},
    {700, u"700. STRENGTH, VIGOR, HEALTH"},
    {800, u"800. EMPIRE, GLORY, EXILE"},
    {900, u"900. VALIANT, WARRIOR, CROSS, DECORATIONS"},
};

constexpr MeaningRow Tens[] = {
    {10, u" 10. ACCOMPLISHMENT, REASON, FUTURE HAPPINESS"},
    {11, u" 11. NUMEROUS FLAWS, PAINFUL SUCCESSES"},
    {12, u" 12. GOOD LUCK CHARM, GOOD OMEN"},
    {13, u" 13. IMPIETY, CYNICISM"},
    {14, u" 14. DEVOTED TO THE POINT OF SACRIFICE"},
    {15, u" 15. BELIEF, IDEAL"},
    {16, u" 16. HAPPINESS, SENSUALITY, LOVE"},
    {17, u" 17. FICKLE, FLIGHTY"},
    {18, u" 18. STUBBORNNESS, INCORRIGIBLE"},
    {20, u" 20. SADNESS, AUSTERITY"},
    {21, u" 21. BRUTALITY, VIOLENCE"},
    {22, u" 22. INVENTION, PRUDENCE, MYSTERY"},
    {23, u" 23. CALAMITY, VENGEANCE"},
    {24, u" 24. INDIFFERENCE, SELFISHNESS"},
    {25, u" 25. INTELLIGENCE, MANY BIRTHS"},
    {26, u" 26. LIKES TO BE USEFUL"},
    {27, u" 27. FIRMNESS, COURAGE"},
    {28, u" 28. FAVORS, TENDERNESS, LOVE"},
    {30, u" 30. WEDDINGS, CELEBRITIES"},
    {31, u" 31. AMBITION, GLORY"},
    {32, u" 32. HYMEN, CHASTITY"},
    {33, u" 33. EXEMPLARY CONDUCT"},
    {34, u" 34. SUFFERING, SORROW"},
    {35, u" 35. SPIRITUAL AND PHYSICAL HARMONY, HEALTH"},
    {36, u" 36. GREAT GENIUS, ENORMOUS IDEAS"},
    {37, u" 37. GENTLE VIRTUES, CONJUGAL LOVE"},
    {38, u" 38. IMPERFECTION, MISERLINESS, ENVY"},
    {40, u" 40. PARTIES, FEASTS, PLEASURES"},
    {41, u" 41. WITHOUT MORAL OF PHYSICAL VALUE"},
    {42, u" 42. TRAVEL, SHORT AND UNHAPPY LIFE"},
    {43, u" 43. RELIGIOUS CEREMONIES, DISCIPLESHIP"},
    {44, u" 44. POWERS, POMP, HONORS"},
    {45, u" 45. CONCEPTION, MANY DESCENDANTS"},
    {46, u" 46. COUNTRY LIFE, ABUNDANCE, FERTILITY"},
    {47, u" 47. LONG AND HAPPY LIFE, FREE FROM WORRY"},
    {48, u" 48. COURT, JUDGMENT, RUIN"},
    {50, u" 50. CAPTIVITY FOLLOWED BY LIBERTY, HAPPINESS"},
    {60, u" 60. WIDOWHOOD"},
    {70, u" 70. LOVE OF SCIENCE"},
    {73, u" 73. LOVES NATURE, NOT ARTIFICIALITY"},
    {75, u" 75. SENSITIVITY, AFFECTION, CHARITY"},
    {77, u" 77. REPENTANCE, FINAL PARDON"},
    {80, u" 80. SICKNESS, HEALING, LONG EXISTENCE"},
    {81, u" 81. FINE ARTS, INTELLECTUAL UPBRINGING"},
    {90, u" 90. NOT VERY PERCEPTIVE, ERROR, AFFLICTION"},
};

constexpr MeaningRow Units[] = {
    {1, u"  1. PASSION, AMBITION, ARDOR"},
    {2, u"  2. DESTRUCTION, DEATH, CATASTROPHE"},
    {3, u"  3. MYSTICISM, PLATONIC LOVE, DAYDREAMS"},
    {4, u"  4. RASHNESS, LARGESSE, POWER"},
    {5, u"  5. HAPPINESS, FORTUNE, POWER"},
    {6, u"  6. PERFECTION, WORK"},
    {7, u"  7. PURITY OF FEELINGS, CONTEMPLATION"},
    {8, u"  8. LOVE OF JUSTICE, HONESTY"},
    {9, u"  9. IMPERFECTIONS, PAIN, SORROW, MURDER ATTEMPT"},
};

template <std::size_t Count>
QString Meaning(const MeaningRow (&table)[Count], int value) {
  for (const MeaningRow& row : table) {
    if (row.Value == value) return QString::fromUtf16(row.Text);
  }
  return {};
}

const QString LineBreak = QStringLiteral("\r\n");
}  // namespace

QString UpperCaseLetters(const QString& text) {
  QString result = text;
  for (QChar& character : result) {
    if (character >= QLatin1Char('a') && character <= QLatin1Char('z')) {
      character = QChar(character.unicode() - u'a' + u'A');
    }
  }
  return result;
}

namespace {
// An accented letter counts nothing, also when it is typed as a letter followed by combining accents: such
// a letter becomes a mark of no value and the accents go. (Normalising the text instead would also turn
// look-alikes such as the Kelvin sign into plain letters.)
QString WithoutCombiningAccents(const QString& text) {
  QString result;
  result.reserve(text.size());
  for (qsizetype position = 0; position < text.size(); ++position) {
    const QChar character = text.at(position);
    if (character.isMark()) continue;
    const bool accented = position + 1 < text.size() && text.at(position + 1).isMark();
    result.append(accented ? QChar(Mark) : character);
  }
  return result;
}
}  // namespace

int TotalOfText(const QString& text) {
  QString work = UpperCaseLetters(WithoutCombiningAccents(text));
  const qsizetype length = work.size();
  work.append(QChar(Mark));
  int total = 0;
  for (qsizetype position = 0; position < length; ++position) {
    const char16_t letter = work.at(position).unicode();
    if (letter == u'H') {
      total += 8;
      // Both tests look at the next character as it stands, so a matched U (now a mark) cannot match I.
      if (work.at(position + 1) == QLatin1Char('U')) {
        work[position + 1] = QChar(Mark);
        total += 892;
      }
      if (work.at(position + 1) == QLatin1Char('I')) {
        work[position + 1] = QChar(Mark);
        total += 792;
      }
    } else if (letter >= u'A' && letter <= u'Z') {
      total += LetterValues[letter - u'A'];
    }
  }
  return total;
}

QString ReadingOfTotal(int total) {
  if (const QString whole = Meaning(WholeTotals, total); !whole.isEmpty()) return whole;
  // Above 1000 the thousands are dropped, but a whole multiple of 1000 stays 1000 rather than becoming 0.
  const int reduced = total > 1000 ? (total - 1) % 1000 + 1 : total;
  QString reading;
  int hundreds = 0;
  if (reduced >= 100) {
    if (const QString own = Meaning(Hundreds, reduced); !own.isEmpty()) return own;
    hundreds = reduced / 100 * 100;
    if (const QString line = Meaning(Hundreds, hundreds); !line.isEmpty()) reading = line + LineBreak;
  }
  const int rest = reduced - hundreds;
  int units = rest;
  if (rest >= 10) {
    if (const QString own = Meaning(Tens, rest); !own.isEmpty()) return reading + own;
    const int tens = rest / 10 * 10;
    reading += Meaning(Tens, tens) + LineBreak;
    units = rest - tens;
  }
  if (units >= 1 && units <= 9) reading += Meaning(Units, units);
  return reading;
}

void Calculate() {
  if (CalcFrm == nullptr) return;
  NameTotal = 0;
  const QString entry = CalcFrm->Data->Text();
  if (entry.isEmpty()) {
    CalcFrm->Total->SetText(QStringLiteral("0"));
    CalcFrm->Memo1->Clear();
    return;
  }
  NameTotal = TotalOfText(entry);
  CalcFrm->Total->SetText(QString::number(NameTotal));
  CalcFrm->Memo1->SetText(ReadingOfTotal(NameTotal));
}
