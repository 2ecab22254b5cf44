#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include <random>

#include "json/json_reader.h"
#include "json/json_value.h"

using namespace ashtint;

namespace {

QJsonValue Parsed(const char* text) {
  const RSOResult r = ParseJson(QString::fromUtf8(text));
  EXPECT_FALSE(r.Error) << text << " fails at " << r.Line << ":" << r.Column;
  return r.Tree;
}

}  // namespace

TEST(JsonReader, ReadsStrictAndRelaxedDocumentsToTheSameTree) {
  const QJsonValue strict = Parsed(
      "{\"mods\": {\"dpt\": {\"enable\": true, \"color\": \"FFFFFF\"}, \"camo\": {\"visibility\": 30}},"
      " \"list\": [1, -2.5e1, null, false, \"\\u0439\\\"\\\\\\/\\n\"], \"big\": 9007199254740993}");
  // Keys without quotes, spaced the way the settings line spaces them, and non-ASCII keys.
  const QJsonValue relaxed = Parsed(
      "{mods:{dpt: {enable: true,color: \"FFFFFF\"},camo: {visibility: 30}},list:[1,-25.0,null,false,"
      "\"й\\\"\\\\/\\n\"],big:9007199254740993}");
  EXPECT_EQ(strict, relaxed);
  EXPECT_EQ(JsonAsString(JsonAt(strict, u"mods.dpt.color")), "FFFFFF");
  EXPECT_TRUE(JsonAsBoolean(JsonAt(strict, u"mods.dpt.enable")));
  EXPECT_EQ(JsonAsInteger(JsonAt(strict, u"mods.camo.visibility")), 30);
  EXPECT_EQ(JsonAsString(JsonAt(strict, u"list")), "[1,-25,null,false,\"й\\\"\\\\/\\n\"]");
  EXPECT_EQ(JsonAsInteger(JsonAt(strict, u"big")), 9007199254740993LL);  // beyond a double's digits
  EXPECT_EQ(JsonAt(Parsed("{_a$1: {\"b c\": 2}}"), u"_a$1.b c").toInteger(), 2);
  // A surrogate pair written as two escapes is one character.
  EXPECT_EQ(JsonAsString(JsonAt(Parsed("{s: \"\\ud83d\\ude00\"}"), u"s")), QString::fromUtf8("\xF0\x9F\x98\x80"));
  EXPECT_EQ(Parsed(" \r\n\t42 \n").toInteger(), 42);
}

TEST(JsonReader, ReportsWhereABrokenTextStops) {
  struct Case {
    const char* text;
    int line, column, position;
    const char* character;
  };
  const Case cases[] = {
      {"{a: 1 b: 2}", 1, 6, 7, "b"},                        // missing comma
      {"{\n  a: 1,\n  b: x\n}", 3, 5, 16, "x"},             // line from 1, column from 0
      {"{system:{settingsfile:{version: \"1.5\",da", 1, 40, 41, ""},  // cut off: at the end
      {"{a: \"no end", 1, 11, 12, ""},
      {"{a: \"line\nbreak\"}", 1, 9, 10, "\n"},             // a raw line break inside a string
      {"{a: \"\\x\"}", 1, 6, 7, "x"},                       // unknown escape
      {"{a: \"\\u12G4\"}", 1, 9, 10, "G"},
      {"{a: 01}", 1, 5, 6, "1"},                            // no leading zeros
      {"{a: -}", 1, 5, 6, "}"},
      {"{a: 1.}", 1, 6, 7, "}"},
      {"{a: tru}", 1, 7, 8, "}"},
      {"{1a: 1}", 1, 1, 2, "1"},                            // a bare key starts with a letter
      {"{a: 1,}", 1, 6, 7, "}"},                            // no trailing comma
      {"{a: 1} x", 1, 7, 8, "x"},                           // nothing after the value
      {"", 1, 0, 1, ""},
  };
  for (const Case& c : cases) {
    const RSOResult r = ParseJson(QString::fromUtf8(c.text));
    SCOPED_TRACE(c.text);
    EXPECT_TRUE(r.Error);
    EXPECT_TRUE(r.Tree.isUndefined());
    EXPECT_EQ(r.Line, c.line);
    EXPECT_EQ(r.Column, c.column);
    EXPECT_EQ(r.Position, c.position);
    EXPECT_EQ(r.Character, QString::fromUtf8(c.character));
  }
  const RSOResult fine = ParseJson(u"{}");
  EXPECT_EQ(fine.Line, -1);  // untouched when nothing failed
  EXPECT_TRUE(fine.Character.isEmpty());
}

TEST(JsonReader, AnyInputGivesAValueOrAnErrorInsideTheText) {
  // Deep nesting is refused rather than overflowing the stack.
  const QString deep = QString(100000, u'[');
  const RSOResult r = ParseJson(deep);
  EXPECT_TRUE(r.Error);
  EXPECT_EQ(r.Position, MaxJsonDepth + 1);
  EXPECT_FALSE(ParseJson(QString(MaxJsonDepth, u'[') + QString(MaxJsonDepth, u']')).Error);

  // Random bytes and random damage to a valid document.
  const QByteArray valid =
      "{system:{settingsfile:{version: \"1.5\",date: \"1.2.24\"},exefile: \"\"},mods: {camo: {visibility: 30,"
      "list: [1, 2.5e-3, \"\\u00e9\", true, null, {}]}}}";
  std::mt19937 rng(12345);
  for (int round = 0; round < 4000; ++round) {
    QByteArray bytes;
    if (round % 2 == 0) {
      bytes.resize(static_cast<qsizetype>(rng() % 64));
      for (char& b : bytes) b = static_cast<char>(rng());
    } else {
      bytes = valid;
      for (int k = 0, n = 1 + static_cast<int>(rng() % 4); k < n; ++k) {
        const auto at = static_cast<qsizetype>(rng() % static_cast<unsigned>(bytes.size()));
        switch (rng() % 3) {
          case 0: bytes[at] = static_cast<char>(rng()); break;
          case 1: bytes.remove(at, 1 + static_cast<qsizetype>(rng() % 8)); break;
          default: bytes.truncate(at); break;
        }
        if (bytes.isEmpty()) break;
      }
    }
    const QString text = QString::fromUtf8(bytes);
    const RSOResult result = ParseJson(text);
    if (!result.Error) continue;
    ASSERT_GE(result.Line, 1) << bytes.toHex().constData();
    ASSERT_GE(result.Column, 0);
    ASSERT_GE(result.Position, 1);
    ASSERT_LE(result.Position, text.size() + 1);
    ASSERT_EQ(result.Character.isEmpty(), result.Position == text.size() + 1);
  }
}

TEST(JsonValue, ReadsEveryTypeAsTheTypeAsked) {
  const QJsonValue tree = Parsed(
      "{s: \"12\", f: \"  -7.9 \", t: \"TRUE\", z: \"0\", w: \"words\", d: 3.99, n: -3.99, huge: 1e300,"
      " b: true, o: {x: 1}, nul: null}");
  auto at = [&tree](const char16_t* path) { return JsonAt(tree, QStringView(path)); };
  EXPECT_EQ(JsonAsInteger(at(u"s")), 12);
  EXPECT_EQ(JsonAsInteger(at(u"f")), -7);
  EXPECT_EQ(JsonAsInteger(at(u"w")), 0);
  EXPECT_EQ(JsonAsInteger(at(u"d")), 3);  // cut towards zero
  EXPECT_EQ(JsonAsInteger(at(u"n")), -3);
  EXPECT_EQ(JsonAsInteger(at(u"huge")), std::numeric_limits<qint64>::max());
  EXPECT_EQ(JsonAsInteger(at(u"b")), 1);
  EXPECT_EQ(JsonAsInteger(at(u"nul")), 0);
  EXPECT_TRUE(JsonAsBoolean(at(u"t")));
  EXPECT_TRUE(JsonAsBoolean(at(u"s")));
  EXPECT_FALSE(JsonAsBoolean(at(u"z")));
  EXPECT_FALSE(JsonAsBoolean(at(u"w")));
  EXPECT_TRUE(JsonAsBoolean(at(u"d")));
  EXPECT_EQ(JsonAsString(at(u"b")), "true");
  EXPECT_EQ(JsonAsString(at(u"d")), "3.99");
  EXPECT_EQ(JsonAsString(at(u"o")), "{\"x\":1}");
  EXPECT_EQ(JsonAsString(at(u"nul")), "");
  // Missing steps, and steps through values that are not objects, give nothing.
  EXPECT_TRUE(at(u"o.y").isUndefined());
  EXPECT_TRUE(at(u"s.x").isUndefined());
  EXPECT_TRUE(at(u"o.x.y").isUndefined());
  EXPECT_TRUE(at(u"").isObject());
  EXPECT_EQ(JsonAsString(at(u"missing")), "");
}

TEST(JsonValue, IndentedOutputReadsBackWithEveryCharacter) {
  QJsonObject inner{{"quote\"key", QString::fromUtf8("\"\\/\b\f\n\r\t\x01 Путь")}, {"n", -12.5}};
  const QJsonValue tree = QJsonObject{{"a", inner}, {"list", QJsonArray{1, true, QJsonValue::Null}}};
  const QByteArray text = WriteJson(tree);
  EXPECT_TRUE(text.contains("\n    \"a\": {\n"));  // one member per line, keys quoted
  const RSOResult back = ParseJson(QString::fromUtf8(text));
  ASSERT_FALSE(back.Error) << back.Line << ":" << back.Column;
  EXPECT_EQ(back.Tree, tree);
}
