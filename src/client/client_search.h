// The search for installed game clients: the program's own folder, the two game launchers'
// lists, the replay file association and the uninstall entries (the user's and the machine's). On Windows these come
// from the system; on Linux from every Wine, Lutris, Bottles and Steam Proton prefix found.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/registry_reader.h"
#include "common/arrays.h"

namespace ashtint {

enum : std::uint8_t {
  SearchOwnFolder = 1,
  SearchLestaCenter = 2,
  SearchWargamingCenter = 4,
  SearchReplayLink = 8,
  SearchRegistry = 16,
};

// One Windows system to search: its registry and how its Windows paths ("C:\Games\...") are
// found on this machine's disk (the identity on Windows; through a prefix's drives on Linux).
struct TWindowsSystem {
  std::unique_ptr<TRegistryReader> Registry;
  std::function<std::string(const std::string&)> LocalPath;  // empty when the path has no place here
};

// The systems of this machine: Windows itself, or every Wine prefix found below home (the
// default ~/.wine, $WINEPREFIX, Lutris games, Bottles bottles, Steam Proton prefixes).
std::vector<TWindowsSystem> FindWindowsSystems(const std::string& home,
                                               const std::function<std::string(const char*)>& env);

// The Wine prefixes below home, as FindWindowsSystems sees them (folders ending in '/').
TStrArray FindWinePrefixes(const std::string& home, const std::function<std::string(const char*)>& env);

// The same for this user's home ($HOME) and environment.
TStrArray FindWinePrefixes();

// A Windows path inside a Wine prefix: the drive through the prefix's dosdevices links, each
// component matched ignoring letter case as Wine does. Empty when it leads nowhere.
std::string WinePathToLocal(const std::string& prefix, const std::string& windowsPath);

// Whether a folder (ending in a separator) holds a client's executable.
bool HoldsClientExe(const std::string& folder);

// Fills folders (emptied first) with the client roots found, in the order found, without
// duplicates (ignoring letter case); Common Test clients only when testClients. Returns the count.
int FindWOTClients(SArray& folders, std::uint8_t sources, bool testClients);
// The same over given systems and program folder, for tests.
int FindWOTClientsIn(SArray& folders, std::uint8_t sources, bool testClients, const std::string& programFolder,
                     const std::vector<TWindowsSystem>& systems);

}  // namespace ashtint
