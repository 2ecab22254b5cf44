// The texts that guide a player through a first start and a run: why an action is not possible,
// what the checks before a run found, where the client search looked and what a run built. In
// Russian and English, as every text of the front end.
#pragma once

#include <QString>

namespace ashtint {

enum class TGuideText {
  ReasonNoClient,
  ReasonClientMissing,         // %s: the path
  ReasonDestinationReadOnly,   // %s: the folder
  ReasonNoMod,
  ReasonNoEngine,              // %s: what the engine line says
  ReasonRunning,
  RunRefused,                  // before the causes of a refused run
  ClientNotRecognized,
  ClientWithoutProgram,
  ClientWithoutPackages,       // %s: the packages folder
  DestinationNotCreatable,     // %s: the folder
  DestinationNotWritable,      // %s: the folder, then the system's reason
  NoClientFound,               // %s: the places searched, one a line
  PlaceProgramFolder,          // %s: the folder
  PlacePrefix,                 // %s: the prefix
  PlaceNoPrefix,               // %s: the home folder
  PlaceWindows,
  ChooseClientTitle,
  ChooseDestinationTitle,
  ChooseConfigsTitle,
  StopRunQuestion,
  ResultTitle,
  ResultAllBuilt,              // %s: the folder
  ResultSomeFailed,
  ResultColumnMod,
  ResultColumnOutcome,
  ResultColumnDetails,
  OutcomeBuilt,
  OutcomeFailed,
  OutcomeSkipped,
  OpenFolder,
  ShowOutput,
  Close,
  StoppedByUser,
  ModDPT,
  ModCCT,
  ModMEM,
  ModCTM,
  ModSpaceBin,
  ModCAMO,
  SettingsErrorAt,             // %s: the character, then line and column
  SettingsErrorEnd,            // line and column
  SettingsKeptAs,              // %s: the kept copy
  ColumnPath,
  ColumnPublisher,
  ColumnVersion,
  BuildUpdated,                // %1: the game, %2: its version now, %3: the version built for
  BuildMissing,                // %1: the date, %2: the version, %3: missing, %4: all packages
  BuildCurrent,                // %1: the date, %2: the version, %3: the packages, %4: their size
  PackageOne,                  // %1: 1, 21, ... (Russian), 1 (English)
  PackageFew,                  // %1: 2-4, 22-24, ... (Russian)
  PackageMany,                 // %1: any other count
  Rebuild,
  HideNotice,
  RebuildToolTip,              // %1: the command
  OldVersionPackages,          // %1: the packages, one a line
  OldPackagesNotRemoved,       // %1: the packages, one a line
  RecordNotWritten,            // %1: the file, %2: the system's reason
  Count
};

// The text in a language (any value but English means Russian).
QString GuideText(TGuideText text, int language);

// The engine's name of a mod ("DPT", "SpaceBin", ...) as the player knows it.
QString ModTitle(const QString& mod, int language);

// A text of the front end with the package extension the client uses: "wotmod" becomes
// "mtmod" for a client whose packages are .mtmod. The engine's key names ("without-wotmod")
// and its package names stay as they are.
QString WithPackageWord(const QString& text, const QString& packageWord);

}  // namespace ashtint
