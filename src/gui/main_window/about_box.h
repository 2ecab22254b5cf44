// The about box of the settings menu: the program's version, its licence and the notices of
// what the build ships or loads from others, as the packages carry them.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace ashtint {

class TInterfaceLanguage;

// The licence and the notices as the build holds them (built in from LICENSE and THIRD-PARTY.md).
QString LicenseText();
QString NoticesText();

class TFAbout : public QDialog {
 public:
  TFAbout(TInterfaceLanguage& language, QWidget* parent = nullptr);

  QLabel* lProgram = nullptr;
  QLabel* lVersion = nullptr;
  QLabel* lLicense = nullptr;
  QTabWidget* pcTexts = nullptr;
  QPlainTextEdit* mLicense = nullptr;
  QPlainTextEdit* mNotices = nullptr;
  QPushButton* bClose = nullptr;
};

}  // namespace ashtint
