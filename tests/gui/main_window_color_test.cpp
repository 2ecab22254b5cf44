// The main window's colour buttons open the colour dialog with the box's colour and put the
// chosen colour into the box.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "gui/color_combo_box.h"
#include "gui/color_field.h"
#include "gui/color_dialog/color_pick_form.h"
#include "gui/interface_language.h"
#include "gui/main_window/main_window.h"
#include "test_support/temp_dir.h"

namespace ashtint {
namespace {

// Answers the next modal colour dialog: notes the colour it opened with, types a hex colour
// and presses OK or Cancel.
void AnswerDialog(QString* openedWith, const QString& hex, bool ok) {
  QTimer::singleShot(0, [=] {
    auto* form = qobject_cast<TColorPick*>(QApplication::activeModalWidget());
    ASSERT_NE(form, nullptr);
    *openedWith = form->elHex->text();
    form->elHex->selectAll();
    QTest::keyClicks(form->elHex, hex);
    (ok ? form->bOK : form->bCancel)->click();
  });
}

TEST(MainWindow, ColourButtonAndPreviewOpenTheDialog) {
  test_support::TempDir dir;
  TInterfaceLanguage language;
  RGuiSettings record;
  TFMain window(language, record, QString::fromStdString(dir / "AshtintGui.json"));
  window.show();
  TComboBox* box = window.findChildren<TComboBox*>().first();
  QPushButton* pick = nullptr;
  for (QPushButton* button : window.findChildren<QPushButton*>())
    if (button->text() == QStringLiteral("...") && pick == nullptr) pick = button;
  ASSERT_NE(pick, nullptr);

  QString openedWith;
  AnswerDialog(&openedWith, QStringLiteral("12ab9f"), true);
  pick->click();
  EXPECT_EQ(openedWith, QStringLiteral("FFFFFF"));
  EXPECT_EQ(box->currentText(), QStringLiteral("12AB9F"));
  EXPECT_EQ(record.DPTColor, QStringLiteral("12AB9F"));
  EXPECT_TRUE(box->Items().contains(QStringLiteral("12AB9F")));

  // Cancel leaves the box alone; a click on the preview opens the dialog too.
  AnswerDialog(&openedWith, QStringLiteral("000000"), false);
  QTest::mouseClick(qobject_cast<QWidget*>(box->PreviewPanel.data()), Qt::LeftButton);
  EXPECT_EQ(openedWith, QStringLiteral("12AB9F"));
  EXPECT_EQ(box->currentText(), QStringLiteral("12AB9F"));
  window.close();
}

}  // namespace
}  // namespace ashtint
