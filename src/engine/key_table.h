// The engine's 41 command-line keys, declared in the order of the help listing.
#pragma once

#include "engine/command_line_reader.h"

namespace ashtint {

inline constexpr int EngineKeyCount = 41;

void DeclareEngineKeys(TCommandLineReader& reader);

}  // namespace ashtint
