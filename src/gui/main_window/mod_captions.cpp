#include "gui/main_window/mod_captions.h"

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

int PlannedSizeMB(const RGuiSettings& s) {
  int size = 0;
  if (s.DPTEnable) size += DPTPackageMB;
  if (s.CCTEnable) size += CCTPackageMB;
  if (s.MEMEnable) size += MEMPackageMB;
  if (s.CTMEnable) size += CTMPackageMB;
  if (s.SpaceBinPatch && (s.MEMEnable || s.CTMEnable)) size += SpaceBinPackageMB;
  if (s.CamoEnable) size += CamoPackageMB(s.CamoDownsizing, s.CamoDownsizingRatio);
  return size;
}

QString RunCaption(int language, int megabytes, QChar localeSeparator) {
  const bool english = KnownLanguage(language) == LanguageEnglish;
  QString caption = InterfaceText(31, language);
  if (megabytes > 1024)
    caption += QStringLiteral(" (%1 %2)").arg(OneDecimal(megabytes / 1024.0, language, localeSeparator),
                                               english ? QStringLiteral("GB") : QString::fromUtf8("ГБ"));
  else if (megabytes > 0)
    caption += QStringLiteral(" (%1 %2)").arg(megabytes).arg(english ? QStringLiteral("MB") : QString::fromUtf8("МБ"));
  return caption;
}

}  // namespace ashtint
