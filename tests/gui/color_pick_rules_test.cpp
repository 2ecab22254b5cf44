// The colour dialog's text rules and button arithmetic, without the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "colorpicker/color_models.h"
#include "gui/color_dialog/color_adjust.h"
#include "gui/color_field.h"
#include "gui/color_dialog/color_names.h"
#include "test_support/qt_print.h"

namespace ashtint {
namespace {

struct RReadCase {
  const char* Text;
  TStrFormat Format;
  QColor Color;
};

TEST(ReadColorText, EveryFormatAndWhatIsNoColour) {
  const RReadCase cases[] = {
      {"B0B0B0", sfUnpHex, QColor(0xB0, 0xB0, 0xB0)},
      {"#ff8000", sfHex, QColor(0xFF, 0x80, 0x00)},
      {"  # ff 80 00 ", sfHex, QColor(0xFF, 0x80, 0x00)},  // spaces are skipped
      {"$0080FF", sfPascal, QColor(0xFF, 0x80, 0x00)},      // $BBGGRR
      {"0x12ab34", sfC, QColor(0x12, 0xAB, 0x34)},
      {"0X12AB34", sfC, QColor(0x12, 0xAB, 0x34)},
      {"1234567", sfUnpHex, QColor(0x23, 0x45, 0x67)},     // the last six characters
      {"255,128,0", sfRGB, QColor(255, 128, 0)},
      {"12, 34, 56", sfRGB, QColor(12, 34, 56)},
      {"100,200,", sfRGB, QColor(100, 200, 0)},            // empty blue counts 0
      {"100,200", sfRGB, QColor(100, 200, 0)},             // missing blue counts 0
      {"300,0,999", sfRGB, QColor(255, 0, 255)},           // above 255 counts 255
      {"1,2,3,4", sfRGB, QColor(1, 2, 0)},                 // "3,4" is no number
      {"rgb(255,128,0)", sfRGB, QColor(0, 128, 0)},        // the b of "rgb" stays: "B255" is no number
      {"#1x2345", sfHex, QColor(0, 0x23, 0x45)},           // a pair that is not hex counts 0
      {"#12,34,56", sfHex, QColor(0, 0, 0)},               // a prefix with commas: no colour
      {"$1,2,3,4", sfPascal, QColor(0, 0, 0)},
      {"12345", sfNone, QColor(0, 0, 0)},                  // too short
      {"xyz-green", sfNone, QColor(0, 0, 0)},
      {"", sfNone, QColor(0, 0, 0)},
  };
  for (const RReadCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const RColorText read = ReadColorTextOf(QString::fromUtf8(c.Text));
    EXPECT_EQ(read.Format, c.Format);
    EXPECT_EQ(read.Color, c.Color);
  }
}

TEST(ColorResultText, FiveFormatsAndTheFormatBox) {
  const QColor grey(0xB0, 0xB0, 0xB0);
  EXPECT_EQ(ColorResultText(grey, sfRGB), QStringLiteral("176,176,176"));
  EXPECT_EQ(ColorResultText(grey, sfDec), QStringLiteral("11579568"));
  EXPECT_EQ(ColorResultText(grey, sfHex), QStringLiteral("#B0B0B0"));
  EXPECT_EQ(ColorResultText(grey, sfC), QStringLiteral("0xB0B0B0"));
  EXPECT_EQ(ColorResultText(grey, sfPascal), QStringLiteral("$B0B0B0"));
  // A colour whose channels differ shows which end each format starts from.
  const QColor color(0x12, 0x34, 0xAB);
  EXPECT_EQ(ColorResultText(color, sfDec), QString::number(0x12 + 256 * 0x34 + 65536 * 0xAB));
  EXPECT_EQ(ColorResultText(color, sfC), QStringLiteral("0x1234AB"));
  EXPECT_EQ(ColorResultText(color, sfPascal), QStringLiteral("$AB3412"));
  // Every format read back gives the colour (the decimal one is not a colour text).
  for (TStrFormat f : {sfRGB, sfHex, sfC, sfPascal, sfUnpHex}) {
    const RColorText read = ReadColorTextOf(ColorResultText(color, f));
    EXPECT_EQ(read.Color, color) << f;
    EXPECT_EQ(read.Format, f);
  }
  const int boxItems[] = {FormatIndex(sfRGB), FormatIndex(sfDec), FormatIndex(sfHex), FormatIndex(sfC),
                          FormatIndex(sfPascal)};
  EXPECT_EQ(std::vector<int>(std::begin(boxItems), std::end(boxItems)), (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(FormatIndex(sfUnpHex), 2);
  EXPECT_EQ(FormatIndex(sfNone), 2);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(FormatIndex(FormatOfIndex(i)), i);
  EXPECT_EQ(FormatOfIndex(-1), sfHex);
}

TEST(ColorButtons, Arithmetic) {
  EXPECT_EQ(WebSafe(QColor(47, 48, 255)), QColor(0, 51, 255));
  EXPECT_EQ(WebSafe(QColor(95, 96, 239)), QColor(51, 102, 204));
  EXPECT_EQ(Grayscale(QColor(255, 0, 0)), QColor(76, 76, 76));
  EXPECT_EQ(Grayscale(QColor(255, 255, 255)), QColor(255, 255, 255));
  EXPECT_EQ(Grayscale(QColor(0, 255, 0)), QColor(149, 149, 149));
  EXPECT_EQ(Inverted(QColor(0, 100, 255)), QColor(255, 155, 0));
  // 5 % of the way, the step rounded half away from zero: 245 + 0.5 -> 246, 10 - 0.5 -> 9.
  EXPECT_EQ(Lighter(QColor(0, 245, 255)), QColor(13, 246, 255));
  EXPECT_EQ(Lighter(QColor(250, 244, 246)), QColor(250, 245, 246));
  EXPECT_EQ(Darker(QColor(255, 10, 0)), QColor(242, 9, 0));
  EXPECT_EQ(Darker(QColor(30, 29, 1)), QColor(28, 28, 1));
}

TEST(ColorFields, ReleasedPastedSteppedTexts) {
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("400"), TFieldKind::Degree), QStringLiteral("360"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("360"), TFieldKind::Degree), QStringLiteral("360"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral(""), TFieldKind::Percent), QStringLiteral("0"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("101"), TFieldKind::Percent), QStringLiteral("100"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("256"), TFieldKind::Byte), QStringLiteral("255"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("-200"), TFieldKind::Axis), QStringLiteral("-128"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("128"), TFieldKind::Axis), QStringLiteral("127"));
  EXPECT_EQ(ReleasedFieldText(QStringLiteral("-"), TFieldKind::Axis), QStringLiteral("-"));  // still typing
  EXPECT_EQ(FieldNumber(QStringLiteral("-"), TFieldKind::Axis), 0);
  EXPECT_EQ(ReleasedFieldText(QStringLiteral(""), TFieldKind::Hex), QStringLiteral("0"));

  EXPECT_EQ(PastedFieldText(QStringLiteral("#ff80zz"), TFieldKind::Hex), QStringLiteral("FF80"));
  EXPECT_EQ(PastedFieldText(QStringLiteral("1234"), TFieldKind::Byte), QStringLiteral("123"));
  EXPECT_EQ(PastedFieldText(QStringLiteral("a1b2"), TFieldKind::Percent), QStringLiteral("1"));
  EXPECT_EQ(PastedFieldText(QStringLiteral("-5"), TFieldKind::Percent), QStringLiteral("5"));
  EXPECT_EQ(PastedFieldText(QStringLiteral("-12x"), TFieldKind::Axis), QStringLiteral("-12"));
  EXPECT_EQ(PastedFieldText(QStringLiteral("--"), TFieldKind::Axis), QStringLiteral("0"));
  EXPECT_EQ(PastedFieldText(QStringLiteral("xyz"), TFieldKind::Degree), QStringLiteral("0"));
  EXPECT_EQ(PastedFieldText(QString(), TFieldKind::Hex), QStringLiteral("0"));

  // The hex field: one or two characters are red, three or four add green, five or six blue.
  EXPECT_EQ(HexFieldColor(QStringLiteral("F")), 15);
  EXPECT_EQ(HexFieldColor(QStringLiteral("F0F")), 0xF0 + 256 * 0x0F);
  EXPECT_EQ(HexFieldColor(QStringLiteral("12345")), 0x12 + 256 * 0x34 + 65536 * 0x05);
  EXPECT_EQ(HexFieldColor(QStringLiteral("123456")), 0x563412);
  EXPECT_EQ(HexFieldColor(QString()), 0);

  EXPECT_EQ(SteppedFieldText(QStringLiteral("99"), TFieldKind::Percent, 1), QStringLiteral("100"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("100"), TFieldKind::Percent, 1), QStringLiteral("100"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("0"), TFieldKind::Byte, -1), QStringLiteral("0"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("-128"), TFieldKind::Axis, -1), QStringLiteral("-128"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("0"), TFieldKind::Axis, -1), QStringLiteral("-1"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("127"), TFieldKind::Axis, 1), QStringLiteral("127"));
  // In the hex field red changes first and carries into green.
  EXPECT_EQ(SteppedFieldText(QStringLiteral("FE0000"), TFieldKind::Hex, 1), QStringLiteral("FF0000"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("FF0000"), TFieldKind::Hex, 1), QStringLiteral("000100"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("000100"), TFieldKind::Hex, -1), QStringLiteral("FF0000"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("FFFFFF"), TFieldKind::Hex, 1), QStringLiteral("FFFFFF"));
  EXPECT_EQ(SteppedFieldText(QStringLiteral("000000"), TFieldKind::Hex, -1), QStringLiteral("000000"));
}

QString Folded(const char* name) {
  return QString::fromUtf8(name).toLower().replace(u'ё', u'е').remove(u'-').remove(u'\'');
}

TEST(NamedColors, TablesAreSortedAndCrossReferenced) {
  const auto russian = NamedColors(LanguageRussian);
  const auto english = NamedColors(LanguageEnglish);
  ASSERT_EQ(russian.size(), static_cast<std::size_t>(NamedColorCount));
  ASSERT_EQ(english.size(), russian.size());
  for (const auto& [table, other] : {std::pair{russian, english}, std::pair{english, russian}}) {
    std::vector<int> seen(other.size(), 0);
    for (std::size_t i = 0; i < table.size(); ++i) {
      SCOPED_TRACE(table[i].Name);
      EXPECT_FALSE(QString::fromUtf8(table[i].Name).isEmpty());
      if (i > 0) {
        EXPECT_LE(Folded(table[i - 1].Name), Folded(table[i].Name));
      }
      ASSERT_GE(table[i].Cross, 1);
      ASSERT_LE(table[i].Cross, static_cast<int>(other.size()));
      const RNAMECOLOR& twin = other[static_cast<std::size_t>(table[i].Cross - 1)];
      EXPECT_EQ(twin.Color, table[i].Color);
      EXPECT_EQ(twin.Cross, static_cast<int>(i) + 1);
      ++seen[static_cast<std::size_t>(table[i].Cross - 1)];
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
  }
  // Russian sorting knows its alphabet: "ё" is "е", not a letter after "я".
  auto at = [](std::span<const RNAMECOLOR> table, const char* name) {
    for (std::size_t i = 0; i < table.size(); ++i)
      if (QString::fromUtf8(table[i].Name) == QString::fromUtf8(name)) return static_cast<int>(i);
    return -1;
  };
  const int yellow = at(russian, "Жёлтый");
  ASSERT_GE(yellow, 0);
  EXPECT_EQ(QString::fromUtf8(english[static_cast<std::size_t>(russian[static_cast<std::size_t>(yellow)].Cross - 1)].Name),
            QStringLiteral("yellow"));
  EXPECT_LT(yellow, at(russian, "Золотой"));
  EXPECT_GT(yellow, at(russian, "Жёлто-зелёный"));
}

TEST(NamedColors, NearestSearch) {
  const auto english = NamedColors(LanguageEnglish);
  // A listed colour finds its first row, the first row of the table included.
  EXPECT_EQ(NearestNamedColor(english, ColorOfValue(english[0].Color)), 0);
  const int white = NearestNamedColor(english, QColor(255, 255, 255));
  EXPECT_EQ(QString::fromUtf8(english[static_cast<std::size_t>(white)].Name), QStringLiteral("white"));
  // Off the list: the nearest by red, green and blue, the first of equally near rows.
  const QColor almostRed(250, 3, 2);
  const int found = NearestNamedColor(english, almostRed);
  auto distance = [&](const RNAMECOLOR& row) {
    const QColor c = ColorOfValue(row.Color);
    return (c.red() - 250) * (c.red() - 250) + (c.green() - 3) * (c.green() - 3) + (c.blue() - 2) * (c.blue() - 2);
  };
  for (int i = 0; i < static_cast<int>(english.size()); ++i) {
    const int d = distance(english[static_cast<std::size_t>(i)]);
    const int best = distance(english[static_cast<std::size_t>(found)]);
    if (i < found) {
      EXPECT_GT(d, best);
    } else {
      EXPECT_GE(d, best);
    }
  }
  EXPECT_EQ(ColorOfValue(english[static_cast<std::size_t>(found)].Color), QColor(255, 0, 0));
  const RNAMECOLOR two[] = {{"a", 0x000010, 1}, {"b", 0x100000, 2}};
  EXPECT_EQ(NearestNamedColor(two, QColor(0, 0, 0)), 0);  // a tie goes to the first row
  EXPECT_EQ(NearestNamedColor({}, QColor(0, 0, 0)), -1);
}

}  // namespace
}  // namespace ashtint
