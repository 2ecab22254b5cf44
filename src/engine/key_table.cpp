#include "engine/key_table.h"

namespace ashtint {

namespace {
struct KeyDecl {
  const char* name;
  TPropertyKind kind;
  const char* help;
};

constexpr KeyDecl kKeys[EngineKeyCount] = {
    {"silent-mode", ckFlag, "\t| User key, bool value"},
    {"auto-close-console", ckFlag, "| User optional key, bool value"},
    {"no-update-configs", ckFlag, "\t| User key, bool value"},
    {"cpu-count", ckText, "\t| User key, int value 1-50"},
    {"sevenzip-dll-file", ckPath, "| User key, string value"},
    {"wot-path", ckPath, "\t\t| Key is required, string value"},
    {"mods-path", ckPath, "\t| User key, string value"},
    {"configs-path", ckPath, "\t| User key, string value"},
    {"without-wotmod", ckFlag, "\t| User key, bool value"},
    {"allinone-wotmod", ckFlag, "\t| User key, bool value"},
    {"subfolder-wotmod", ckFlag, "\t| User key, bool value"},
    {"remove-wotmod", ckFlag, "\t| User key, bool value"},
    {"without-hd", ckFlag, "\t| User key, bool value"},
    {"DPT-mod", ckText, "\t\t| User key, string value RRGGBB"},
    {"inside-color", ckText, "\t| User key, string value RRGGBB"},
    {"remove-shadows", ckFlag, "\t| User key, bool value"},
    {"CCT-mod", ckText, "\t\t| User key, string value RRGGBB"},
    {"MEM-mod", ckText, "\t\t| User key, string value RRGGBB"},
    {"CTM-mod", ckText, "\t\t| User key, string value RRGGBB"},
    {"SpaceBin-mod", ckText, "\t| User key, string value RRGGBB|RRGGBB"},
    {"CAMO-mod", ckText, "\t\t| User key, int value 0..100"},
    {"downsizing-ratio", ckText, "\t| User key, int value 2, 4 or 8"},
    {"DPT-wotmod-name", ckText, "\t| ModDev key, string value"},
    {"DPT-wotmod-meta", ckText, "\t| ModDev key, string value"},
    {"CCT-wotmod-name", ckText, "\t| ModDev key, string value"},
    {"CCT-wotmod-meta", ckText, "\t| ModDev key, string value"},
    {"MEM-wotmod-name", ckText, "\t| ModDev key, string value"},
    {"MEM-wotmod-meta", ckText, "\t| ModDev key, string value"},
    {"CTM-wotmod-name", ckText, "\t| ModDev key, string value"},
    {"CTM-wotmod-meta", ckText, "\t| ModDev key, string value"},
    {"SpaceBin-wotmod-name", ckText, "| ModDev key, string value"},
    {"SpaceBin-wotmod-meta", ckText, "| ModDev key, string value"},
    {"CAMO-wotmod-name", ckText, "\t| ModDev key, string value"},
    {"CAMO-wotmod-meta", ckText, "\t| ModDev key, string value"},
    {"allinone-wotmod-name", ckText, "| ModDev key, string value"},
    {"allinone-wotmod-meta", ckText, "| ModDev key, string value"},
    {"subfolder-wotmod-name", ckText, "| ModDev key, string value"},
    {"test", ckFlag, "\t\t| Debug key, bool value"},
    {"log", ckFlag, "\t\t| Debug key, bool value"},
    {"log-name", ckText, "\t\t| User key, string value"},
    {"rewrite-log", ckFlag, "\t| Debug key, bool value"},
};
}  // namespace

void DeclareEngineKeys(TCommandLineReader& reader) {
  for (const auto& k : kKeys) {
    switch (k.kind) {
      case ckFlag: reader.AddFlagKey(k.name, k.help, false); break;
      case ckPath: reader.AddPathKey(k.name, k.help, ""); break;
      default: reader.AddTextKey(k.name, k.help, ""); break;
    }
  }
}

}  // namespace ashtint
