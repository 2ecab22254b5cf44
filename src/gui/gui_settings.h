// Everything the user chooses in the front end, in one record per process. The settings file
// copies it to and from disk; the windows read and write its fields directly.
#pragma once

#include <QString>
#include <QStringList>

namespace ashtint {

// The colours every colour box lists before any settings are applied.
QStringList DesignColorList();

// Where a client installed with its launcher's defaults would be (the default of WotPath).
QString DefaultWotPath();

struct RGuiSettings {
  // system
  QString ExeFile;  // the engine program
  bool ViewClientsPathsStartup = false;
  bool SearchCurrentFolder = true;
  bool SearchGameCenter = true;
  bool SearchSystemRegistry = false;
  bool SearchCommonTest = true;
  bool LogFile = false;
  bool RewriteLogFile = false;
  bool AutoCheckUpdate = true;
  // mods
  QString WotPath = DefaultWotPath();  // the client program
  bool ModsPathEnable = false;
  QString ModsPath;
  bool DPTEnable = true;
  QString DPTColor = QStringLiteral("FFFFFF");
  bool DPTInside = true;
  QString DPTInsideColor = QStringLiteral("B0B0B0");
  bool DPTRemoveShadow = true;
  bool CCTEnable = true;
  QString CCTColor = QStringLiteral("367EFF");
  bool MEMEnable = true;
  QString MEMColor = QStringLiteral("FFE200");
  bool CTMEnable = true;
  QString CTMColor = QStringLiteral("DD7744");
  bool SpaceBinPatch = true;
  bool CamoEnable = false;
  int CamoVisibility = 30;  // percent, 0..100
  bool CamoDownsizing = true;
  int CamoDownsizingRatio = 4;  // 2, 4 or 8; other values kept as read
  // options
  int Language = 0;  // 0 Russian, 1 English
  bool ShowOptions = false;
  bool MultiStart = true;
  bool AutoClose = true;
  bool NoUpdateConfigs = false;
  bool UseConfigsFolder = false;
  QString ConfigsFolder;
  bool NoWotmod = false;
  bool AllInOneWotmod = false;
  bool SubfolderWotmod = true;
  bool RemoveOldWotmod = true;
  bool NoHD = false;
  bool UseCPUCount = false;
  int CPUCount = 2;  // 1..16
};

// The process's one settings record.
RGuiSettings& GuiSettings();

}  // namespace ashtint
