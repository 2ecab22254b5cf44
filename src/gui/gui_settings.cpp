#include "gui/gui_settings.h"

#include <QFile>

#include "platform/default_client_path.h"

namespace ashtint {

QStringList DesignColorList() {
  return {QStringLiteral("FFFFFF"), QStringLiteral("DD7744"), QStringLiteral("B0B0B0"), QStringLiteral("FFE200"),
          QStringLiteral("2EB300"), QStringLiteral("367EFF"), QStringLiteral("DD1DFF")};
}

QString DefaultWotPath() { return QFile::decodeName(QByteArray::fromStdString(DefaultClientExePath())); }

RGuiSettings& GuiSettings() {
  static RGuiSettings settings;
  return settings;
}

}  // namespace ashtint
