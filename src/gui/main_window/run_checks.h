// Why the run and the removal cannot start now, and the checks made right before a run: each
// cause in words the player understands, so a greyed-out button or a refused run never leaves
// them guessing.
#pragma once

#include <QString>
#include <QStringList>

#include "gui/gui_settings.h"

namespace ashtint {

struct RWOTInfo;

// What the window knows about the engine and the runs at this moment.
struct REngineState {
  bool Usable = false;   // an engine file of a supported build is set
  QString Shown;         // what the engine line says about it ("... not found!")
  bool Running = false;  // a run started from this window has not ended yet
};

// The client's facts as the checks need them; read from the client's files unless a test gives them.
RWOTInfo ReadClientFacts(const QString& clientPath);

// The folder the packages go to: the player's own destination, else the client's versioned mods
// folder (res_mods without packages). Empty when the client gives none.
QString DestinationFolder(const RGuiSettings& settings, const RWOTInfo& client);

// The causes that keep an action disabled, empty when it may run; forRun adds the mods' rule.
// Cheap enough to ask every second: only file facts, nothing written.
QStringList ActionBlockers(const RGuiSettings& settings, const REngineState& engine, bool forRun, int language);

// The checks before a run: the client can be read by the engine, the destination exists (or can
// be made) and a file can be written there. Empty when all pass.
QStringList RunCheckFailures(const RGuiSettings& settings, const RWOTInfo& client, int language);

}  // namespace ashtint
