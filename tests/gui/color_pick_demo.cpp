// Opens the colour dialog on its own: color_pick_demo [--english] [--color TEXT] [--grab FOLDER]
// prints the chosen colour and format on OK. With --grab it takes a screenshot of each picker
// page (FOLDER/page-1.png to page-3.png, the whole screen) and closes the dialog itself.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTextStream>

#include "gui/color_dialog/color_pick_dialog.h"
#include "gui/color_dialog/color_pick_form.h"
#include "gui/interface_texts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int language = ashtint::LanguageRussian;
  QString colorText = QStringLiteral("B0B0B0");
  QString grabFolder;
  const QStringList args = QApplication::arguments();
  for (qsizetype i = 1; i < args.size(); ++i) {
    if (args[i] == QStringLiteral("--english")) language = ashtint::LanguageEnglish;
    if (args[i] == QStringLiteral("--color") && i + 1 < args.size()) colorText = args[++i];
    if (args[i] == QStringLiteral("--grab") && i + 1 < args.size()) grabFolder = args[++i];
  }
  ashtint::TColorPickDialog dialog;
  dialog.ReadColorText(colorText);
  QTextStream out(stdout);
  if (grabFolder.isEmpty()) {
    if (dialog.Execute(language)) {
      out << "OK " << dialog.ColorHex() << " format " << dialog.OutFormat << "\n";
      return 0;
    }
    out << "Cancel\n";
    return 1;
  }
  ashtint::TColorPick& form = dialog.Prepare(language);
  form.show();
  QDir().mkpath(grabFolder);
  for (int page = 0; page < form.pcScheme->count(); ++page) {
    form.pcScheme->setCurrentIndex(page);
    QTest::qWait(400);  // let the window system draw the page
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString file = QDir(grabFolder).filePath(QStringLiteral("page-%1.png").arg(page + 1));
    if (shot.isNull() || !shot.save(file)) {
      out << "no screenshot of page " << page + 1 << "\n";
      return 2;
    }
    out << file << "\n";
  }
  return 0;
}
