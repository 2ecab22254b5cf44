#include "gui/mod_captions.h"

#include "gui/interface_texts.h"

namespace ashtint {

int CamoPackageMB(bool downsizing, int ratio) {
  if (downsizing) {
    switch (ratio) {
      case 2: return 170;
      case 4: return 50;
      case 8: return 12;
      default: break;
    }
  }
  return 700;
}

QString SizeCaption(int row, int language, int megabytes) {
  return FormatText(InterfaceText(row, language), QString::number(megabytes));
}

QString SpaceBinCaption(int language, QChar localeSeparator) {
  return FormatText(InterfaceText(16, language), OneDecimal(SpaceBinPackageMB / 1024.0, language, localeSeparator));
}

}  // namespace ashtint
