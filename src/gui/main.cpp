#include <QApplication>
#include <QFile>

#include "gui/gui_settings.h"
#include "gui/interface_language.h"
#include "gui/main_window/main_window.h"
#include "gui/settings_location.h"
#include "platform/user_config_folder.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("AshtintGui"));
  ashtint::TInterfaceLanguage language;
  const QString settingsFile =
      ashtint::SettingsFileName(QCoreApplication::applicationDirPath(),
                                QFile::decodeName(QByteArray::fromStdString(ashtint::UserConfigFolder())));
  ashtint::TFMain window(language, ashtint::GuiSettings(), settingsFile);
  window.show();
  return QApplication::exec();
}
