// Where a game client installed with its launcher's defaults lies.
#pragma once

#include <string>

namespace ashtint {

// The client program's full path in that place. Windows: C:\Games\World_of_Tanks\WorldOfTanks.exe.
// Elsewhere the Windows client runs under Wine, whose default prefix maps drive C: to
// ~/.wine/drive_c, so the same folder is found there.
std::string DefaultClientExePath();

}  // namespace ashtint
