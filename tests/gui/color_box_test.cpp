#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QFrame>
#include <QLineEdit>
#include <QTest>

#include "gui/color_combo_box.h"
#include "gui/gui_settings.h"
#include "gui/picture_hint.h"
#include "test_support/qt_print.h"

using namespace ashtint;

namespace {

// A colour box as the window wires it, counting what it reports. Keys go to the box, which
// holds the keyboard focus for its line edit, as the window system delivers them.
struct TBoxFixture {
  QFrame panel;
  TComboBox box;
  QStringList reported;

  TBoxFixture() {
    box.SetItems(DesignColorList());
    box.setEditText(QStringLiteral("FFFFFF"));
    box.PreviewPanel = &panel;
    box.OnColorChange = [this](QWidget*, TComboBox* sender, const QString& text) {
      EXPECT_EQ(sender, &box);
      reported << text;
    };
  }
  QLineEdit* Edit() { return box.lineEdit(); }
  QString Text() { return box.currentText(); }
  QColor Preview() { return panel.palette().color(QPalette::Window); }
  void Clear() { Edit()->clear(); }
  void Type(const char* keys) { QTest::keyClicks(&box, QString::fromLatin1(keys)); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&box, key, modifiers); }
  void Enter() { Key(Qt::Key_Return); }
  void Paste(const QString& clipboard) {
    QApplication::clipboard()->setText(clipboard);
    Key(Qt::Key_V, Qt::ControlModifier);
  }
};

}  // namespace

TEST(ColorBox, TypingTakesHexDigitsInCapitalsAndConfirmsOnTheSixth) {
  TBoxFixture f;
  f.Clear();
  f.Type("a1b2c");
  EXPECT_EQ(f.Text(), "A1B2C");
  EXPECT_TRUE(f.reported.isEmpty());  // nothing is reported before the colour is complete
  f.Type("3");
  EXPECT_EQ(f.Text(), "A1B2C3");
  EXPECT_EQ(f.Preview(), QColor(0xA1, 0xB2, 0xC3));
  EXPECT_EQ(f.reported, QStringList{"A1B2C3"});
  EXPECT_EQ(f.box.Items().count("A1B2C3"), 1);
  EXPECT_EQ(f.box.count(), 8);
  f.Enter();  // confirming again adds nothing
  EXPECT_EQ(f.box.count(), 8);
  f.Type("7");  // the seventh character does not fit
  EXPECT_EQ(f.Text(), "A1B2C3");

  // Keys other than hex digits, the dot, Backspace, copy and paste are dropped.
  f.Clear();
  f.Type("1g# z-2");
  EXPECT_EQ(f.Text(), "12");
  f.Key(Qt::Key_A, Qt::ControlModifier);  // select all: dropped
  f.Key(Qt::Key_Backspace);
  EXPECT_EQ(f.Text(), "1");
  f.Key(Qt::Key_Left);  // caret keys pass
  f.Type("f");
  EXPECT_EQ(f.Text(), "F1");
  QTest::keyClicks(f.Edit(), QStringLiteral("bx"));  // the line edit holding the focus itself
  EXPECT_EQ(f.Text(), "FB1");
}

TEST(ColorBox, EnterNormalisesShortTextsAndDots) {
  TBoxFixture f;
  f.Clear();
  f.Type("1");
  f.Enter();
  EXPECT_EQ(f.Text(), "100000");
  EXPECT_EQ(f.Edit()->cursorPosition(), 6);
  EXPECT_FALSE(f.Edit()->hasSelectedText());
  EXPECT_EQ(f.reported, QStringList{"100000"});

  f.Clear();
  f.Type("A.");
  EXPECT_EQ(f.Text(), "A.");  // the dot stays until the text is confirmed
  f.Enter();
  EXPECT_EQ(f.Text(), "A00000");
  EXPECT_EQ(f.Preview(), QColor(0xA0, 0, 0));

  // A colour the list holds in lower case is not added again, whatever the current item.
  f.box.SetItems({QStringLiteral("ffffff"), QStringLiteral("2eb300")});
  f.Clear();
  f.Type("2EB300");
  EXPECT_EQ(f.box.Items(), (QStringList{"ffffff", "2eb300"}));
  EXPECT_EQ(f.Text(), "2EB300");
  f.box.SetItems({});
  f.Clear();
  f.Type("1");
  f.Enter();
  EXPECT_EQ(f.box.Items(), QStringList{"100000"});  // an empty list gets its first item
}

TEST(ColorBox, LeavingTheBoxTakesWhatItShows) {
  // What the player sees is what runs: a text left unfinished is confirmed as Enter would.
  TBoxFixture f;
  f.Clear();
  f.Type("12G45Z");
  EXPECT_EQ(f.Text(), "1245");
  QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);  // the box's own list opening
  QApplication::sendEvent(&f.box, &popup);
  EXPECT_TRUE(f.reported.isEmpty());
  QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&f.box, &tab);
  EXPECT_EQ(f.Text(), "124500");
  EXPECT_EQ(f.reported, QStringList{"124500"});
  EXPECT_EQ(f.Preview(), QColor(0x12, 0x45, 0));
  QApplication::sendEvent(&f.box, &tab);  // leaving again changes nothing
  EXPECT_EQ(f.Text(), "124500");
  EXPECT_EQ(f.reported.last(), "124500");
}

TEST(ColorBox, PasteTakesSixCharactersAfterAPrefix) {
  TBoxFixture f;
  f.Paste(QStringLiteral("#ff8000"));
  EXPECT_EQ(f.Text(), "FF8000");
  EXPECT_EQ(f.reported.value(0), "FF8000");  // six characters: confirmed as the key comes up

  f.reported.clear();
  f.Paste(QStringLiteral("rgb"));
  EXPECT_EQ(f.Text(), "0B");  // "r" skipped as a prefix, "g" is no digit, "b" a capital
  EXPECT_TRUE(f.reported.isEmpty());
  f.Enter();
  EXPECT_EQ(f.Text(), "0B0000");

  f.Paste(QStringLiteral("$12 34 56 78"));
  EXPECT_EQ(f.Text(), "120340");
  f.Paste(QString());
  EXPECT_EQ(f.Text(), "");
  EXPECT_EQ(PastedColorText(QStringLiteral("abcdefabc")), "ABCDEF");
  EXPECT_EQ(PastedColorText(QStringLiteral("0x0A")), "000A");  // "0" itself is written as "0"
}

TEST(ColorBox, ChosenListItemsBecomeSixCapitalHexDigits) {
  TBoxFixture f;
  f.box.SetItems({QStringLiteral("ab"), QStringLiteral("xyz"), QStringLiteral("dd1dff"), QStringLiteral("1234567")});
  const QStringList expected = {"AB0000", "000000", "DD1DFF", "123456"};
  for (int i = 0; i < 4; ++i) {
    f.box.setCurrentIndex(i);
    emit f.box.activated(i);
    EXPECT_EQ(f.Text(), expected[i]);
    EXPECT_EQ(f.reported.last(), expected[i]);
  }
  EXPECT_EQ(f.Preview(), QColor(0x12, 0x34, 0x56));
  EXPECT_EQ(ColorOfText(QStringLiteral("FF.0")), QColor(0xFF, 0, 0));
}

TEST(PictureHint, OpensInsideTheDesktopFromTheMarksCentre) {
  const QRect desktop(0, 0, 1920, 1080);
  EXPECT_EQ(PlaceHintWindow({100, 100}, {500, 480}, desktop), QRect(100, 100, 500, 480));
  // Near the bottom right corner it opens up and to the left, ending 20 pixels inside.
  const QRect corner = PlaceHintWindow({1900, 1070}, {500, 480}, desktop);
  EXPECT_EQ(corner.x() + corner.width(), 1900);
  EXPECT_EQ(corner.y() + corner.height(), 1060);
  // Wider than the desktop: its left edge stays on the desktop; a second screen keeps its offset.
  EXPECT_EQ(PlaceHintWindow({50, 10}, {800, 226}, QRect(0, 0, 640, 480)).x(), 0);
  EXPECT_EQ(PlaceHintWindow({3000, 700}, {800, 226}, QRect(1920, 0, 1280, 1024)), QRect(2380, 700, 800, 226));
  EXPECT_EQ(PlaceHintWindow({10, 10}, {500, 480}, QRect(0, 0, 800, 400)).y(), 0);
}

TEST(PictureHint, EveryMarkHasItsPicture) {
  const std::pair<const char*, QSize> pictures[] = {
      {"PNG_DPTMODE", {500, 480}}, {"PNG_DPTMODE_INSIDE", {600, 300}}, {"PNG_DPTMODE_REMOVESHADOW", {468, 500}},
      {"PNG_CCTMODE", {422, 475}}, {"PNG_MEMMODE", {480, 437}},        {"PNG_CTMMODE", {600, 300}},
      {"PNG_SPACEBIN", {500, 373}}, {"PNG_CAMO", {800, 226}},
  };
  for (const auto& [name, size] : pictures) {
    TStaticText mark(QStringLiteral(" ? "));
    mark.SetPicture(QString::fromLatin1(name));
    ASSERT_NE(mark.GraphicHint(), nullptr);
    EXPECT_EQ(mark.GraphicHint()->Picture().size(), size) << name;
    EXPECT_EQ(mark.GraphicHint()->size(), size) << name;
  }
  EXPECT_TRUE(LoadHintPicture(QStringLiteral("PNG_NONE")).isNull());
}
