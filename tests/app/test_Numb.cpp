#include "app/Numb.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>

namespace {
const QString CrLf = QStringLiteral("\r\n");

QString Lines(std::initializer_list<const char16_t*> lines) {
  QStringList joined;
  for (const char16_t* line : lines) joined.append(QString::fromUtf16(line));
  return joined.join(CrLf);
}

struct Row {
  int Value;
  const char16_t* Text;
};

// The four tables of meanings, written out again from their description rather than copied from the program.
const Row WholeTotalRows[] = {
    {1000, u"1000. AMBITION"},
    {1095, u"1095. DOOMED TO PERSECUTION, MARTYR"},
    {1260, u"1260. TORMENTS, CONSOLATION IN OLD AGE"},
    {1390, u"1390. PHYSICAL WEAKNESS, MENTAL ENERGY"},
};
const Row HundredRows[] = {
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
const Row TenRows[] = {
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
const Row UnitRows[] = {
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

bool HasOwnRow(const Row* begin, const Row* end, int value) {
  return std::any_of(begin, end, [value](const Row& row) { return row.Value == value; });
}
}  // namespace

TEST(NameTotal, EveryLetterHasItsValueInBothCases) {
  const int values[26] = {1,  2,  3,  4,  5,  6,  7,   8,   9,   600, 10,  20,  30,
                          40, 50, 60, 70, 80, 90, 100, 200, 700, 0,   300, 400, 500};
  for (int index = 0; index < 26; ++index) {
    const QChar upper(u'A' + index);
    const QChar lower(u'a' + index);
    EXPECT_EQ(TotalOfText(QString(upper)), values[index]) << upper.toLatin1();
    EXPECT_EQ(TotalOfText(QString(lower)), values[index]) << lower.toLatin1();
  }
}

TEST(NameTotal, PairsAndTheOrderOfTheirOverwrites) {
  const struct {
    const char* Text;
    int Total;
  } cases[] = {
      {"HU", 900},    {"HI", 800},  {"hu", 900}, {"hI", 800}, {"HUI", 909}, {"HIU", 1000},
      {"HHU", 908},   {"HHI", 808}, {"UH", 208}, {"AH", 9},   {"H", 8},     {"HUU", 1100},
      {"HIHU", 1700}, {"H U", 208}, {"WAW", 1},  {"abc", 6},  {"ABC", 6},   {"123 -", 0},
  };
  for (const auto& example : cases) {
    EXPECT_EQ(TotalOfText(QString::fromLatin1(example.Text)), example.Total) << example.Text;
  }
}

TEST(NameTotal, AccentedLettersCountNothingHoweverTheyAreTyped) {
  EXPECT_EQ(TotalOfText(QStringLiteral("\u00C9")), 0);
  EXPECT_EQ(TotalOfText(QStringLiteral("\u00E9")), 0);
  EXPECT_EQ(TotalOfText(QStringLiteral("\u00F1")), 0);
  EXPECT_EQ(TotalOfText(QStringLiteral("JOS\u00C9")), 740);
  EXPECT_EQ(TotalOfText(QStringLiteral("jos\u00E9")), 740);
  EXPECT_EQ(TotalOfText(QStringLiteral("JOSE\u0301")), 740) << "E followed by a combining accent is \u00C9";
  EXPECT_EQ(TotalOfText(QStringLiteral("HU\u0308")), 8) << "an accented U makes no pair with H";
  EXPECT_EQ(TotalOfText(QStringLiteral("\u212A")), 0) << "the Kelvin sign is no K";
  EXPECT_EQ(TotalOfText(QStringLiteral("\u0130\u0131\uFF21")), 0) << "only a-z and A-Z have values";
}

TEST(NameTotal, UpperCasingChangesOnlyAToZ) {
  EXPECT_EQ(UpperCaseLetters(QStringLiteral("abc xyz \u00E9\u00F1\u00DF 1{")),
            QStringLiteral("ABC XYZ \u00E9\u00F1\u00DF 1{"));
}

TEST(NameTotal, LargestEntryTotals24500) {
  EXPECT_EQ(TotalOfText(QString(EntryMaxLength, QLatin1Char('V'))), 24500);
}

TEST(Reading, EveryTableRowIsItsOwnReading) {
  for (const Row& row : WholeTotalRows) EXPECT_EQ(ReadingOfTotal(row.Value), QString::fromUtf16(row.Text));
  for (const Row& row : HundredRows) EXPECT_EQ(ReadingOfTotal(row.Value), QString::fromUtf16(row.Text));
  for (const Row& row : TenRows) EXPECT_EQ(ReadingOfTotal(row.Value), QString::fromUtf16(row.Text));
  for (const Row& row : UnitRows) EXPECT_EQ(ReadingOfTotal(row.Value), QString::fromUtf16(row.Text));
  EXPECT_EQ(ReadingOfTotal(350).at(11), QChar(0x00C9)) << "one character, the capital E with acute accent";
}

TEST(Reading, SplitsIntoHundredsTensAndUnits) {
  EXPECT_EQ(ReadingOfTotal(0), QString());
  EXPECT_EQ(ReadingOfTotal(29),
            Lines({u" 20. SADNESS, AUSTERITY", u"  9. IMPERFECTIONS, PAIN, SORROW, MURDER ATTEMPT"}));
  EXPECT_EQ(ReadingOfTotal(151),
            Lines({u"100. FAVORS, HONORS, GLORY", u" 50. CAPTIVITY FOLLOWED BY LIBERTY, HAPPINESS",
                   u"  1. PASSION, AMBITION, ARDOR"}));
  EXPECT_EQ(ReadingOfTotal(347),
            Lines({u"300. ARDENT FAITH, PHILOSOPHY", u" 47. LONG AND HAPPY LIFE, FREE FROM WORRY"}));
  EXPECT_EQ(ReadingOfTotal(305),
            Lines({u"300. ARDENT FAITH, PHILOSOPHY", u"  5. HAPPINESS, FORTUNE, POWER"}));
  EXPECT_EQ(ReadingOfTotal(310),
            Lines({u"300. ARDENT FAITH, PHILOSOPHY", u" 10. ACCOMPLISHMENT, REASON, FUTURE HAPPINESS"}));
  EXPECT_EQ(ReadingOfTotal(999), Lines({u"900. VALIANT, WARRIOR, CROSS, DECORATIONS",
                                        u" 90. NOT VERY PERCEPTIVE, ERROR, AFFLICTION",
                                        u"  9. IMPERFECTIONS, PAIN, SORROW, MURDER ATTEMPT"}));
  EXPECT_EQ(ReadingOfTotal(121), Lines({u"100. FAVORS, HONORS, GLORY", u" 21. BRUTALITY, VIOLENCE"}))
      << "120 has a row of its own, 121 does not";
}

TEST(Reading, TotalsAbove1000LoseTheirThousands) {
  EXPECT_EQ(ReadingOfTotal(1001), Lines({u"  1. PASSION, AMBITION, ARDOR"}));
  EXPECT_EQ(ReadingOfTotal(1100), Lines({u"100. FAVORS, HONORS, GLORY"}));
  EXPECT_EQ(ReadingOfTotal(2000), QString()) << "a whole multiple of 1000 reduces to 1000, which has no line";
  EXPECT_EQ(ReadingOfTotal(3000), QString());
  EXPECT_EQ(ReadingOfTotal(2095),
            Lines({u" 90. NOT VERY PERCEPTIVE, ERROR, AFFLICTION", u"  5. HAPPINESS, FORTUNE, POWER"}));
  EXPECT_EQ(ReadingOfTotal(2345),
            Lines({u"300. ARDENT FAITH, PHILOSOPHY", u" 45. CONCEPTION, MANY DESCENDANTS"}));
  EXPECT_EQ(ReadingOfTotal(24500), Lines({u"500. ELECTION, HONORS, STATURE"}));
  EXPECT_EQ(ReadingOfTotal(2260), Lines({u"200. LACK OF RESOLUTION", u" 60. WIDOWHOOD"}))
      << "1260 is whole-total only";
}

TEST(Reading, EveryPossibleTotalGivesAWellFormedReading) {
  for (int total = 0; total <= 24500; ++total) {
    const QString reading = ReadingOfTotal(total);
    const QStringList lines = reading.isEmpty() ? QStringList() : reading.split(CrLf);
    ASSERT_LE(lines.size(), 3) << total;
    ASSERT_FALSE(reading.endsWith(CrLf)) << total;
    for (const QString& line : lines) {
      ASSERT_FALSE(line.contains(QLatin1Char('\r')) || line.contains(QLatin1Char('\n'))) << total;
      // Full stops line up in the fixed-pitch memo: column 4, or 5 for a four-digit whole total.
      const int stop = line.startsWith(QLatin1String("1")) && line.at(4) == QLatin1Char('.') ? 4 : 3;
      ASSERT_EQ(line.at(stop), QLatin1Char('.')) << total << ": " << line.toStdString();
    }
    const int reduced = total > 1000 ? (total - 1) % 1000 + 1 : total;
    const int lastTwo = reduced % 100;
    const bool threeLines = total != 1095 && total != 1260 && total != 1390 && reduced >= 100 &&
                            reduced < 1000 &&
                            !HasOwnRow(std::begin(HundredRows), std::end(HundredRows), reduced) &&
                            lastTwo >= 10 && !HasOwnRow(std::begin(TenRows), std::end(TenRows), lastTwo);
    ASSERT_EQ(lines.size() == 3, threeLines) << total;
  }
}
