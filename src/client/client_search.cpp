#include "client/client_search.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "common/file_system.h"
#include "common/text.h"
#include "platform/executable_path.h"
#include "platform/registry.h"

namespace ashtint {

namespace fs = std::filesystem;

namespace {

constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char* kKnownKeys[] = {
    "LGC-WOT.RU.PRODUCTION", "WOT.RU.PRODUCTION", "WOT.EU.PRODUCTION", "WOT.NA.PRODUCTION", "WOT.ASIA.PRODUCTION",
    "{1EAC1D02-C6AC-4FA6-9A44-96258C37C812ru}_is1", "{1EAC1D02-C6AC-4FA6-9A44-96258C37C812eu}_is1",
    "{1EAC1D02-C6AC-4FA6-9A44-96258C37C812na}_is1"};
constexpr const char* kKnownTestKeys[] = {"WOT.CT.PRODUCTION", "{1EAC1D02-C6AC-4FA6-9A44-96258C37C812ct}_is1"};

struct RUninstallList {
  TRegistryRoot Root;
  const char* Key;
};
// The user's own entries first, then those installers write for the whole machine (older
// stand-alone installers do), in both views of a 64-bit system's machine keys.
constexpr RUninstallList kUninstallLists[] = {
    {TRegistryRoot::CurrentUser, kUninstallKey},
    {TRegistryRoot::LocalMachine, kUninstallKey},
    {TRegistryRoot::LocalMachine, "Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall"},
};

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The text between the first open and the next close after it, trimmed; empty when absent.
std::string Between(std::string_view text, std::string_view open, std::string_view close) {
  const std::size_t at = text.find(open);
  if (at == std::string_view::npos) return {};
  const std::size_t from = at + open.size();
  const std::size_t end = text.find(close, from);
  return end == std::string_view::npos ? std::string() : Trim(text.substr(from, end - from));
}

bool IsSep(char c) { return c == '\\' || c == '/'; }

std::string WithSep(std::string path, char sep) {
  if (!path.empty() && !IsSep(path.back())) path.push_back(sep);
  return path;
}

// The folder part of a path in either notation, with its last separator.
std::string FolderOf(const std::string& path) {
  std::size_t i = path.size();
  while (i > 0 && !IsSep(path[i - 1])) --i;
  return path.substr(0, i);
}

// A folder inside a client's win32 or win64 folder leads to the client root.
std::string ClientRootOf(std::string folder) {
  for (;;) {
    const std::string lower = LowerCase(folder);
    bool inside = false;
    for (const char* mark : {"\\win32\\", "\\win64\\", "/win32/", "/win64/"}) inside = inside || lower.find(mark) != std::string::npos;
    if (!inside || folder.empty()) return folder;
    folder.pop_back();
    folder = FolderOf(folder);
  }
}

bool IsCommonTestFolder(const std::string& localFolder) {
  const std::string realm = Between(ReadWhole(localFolder + "version.xml"), "<realm>", "</realm>");
  return SameText(realm, "CT") || SameText(realm, "RPT");
}

class TSearch {
 public:
  TSearch(SArray& folders, bool testClients) : folders_(folders), testClients_(testClients) {}

  void AddLocal(const std::string& localFolder) {
    if (localFolder.empty()) return;
    for (const auto& f : folders_)
      if (SameText(f, localFolder)) return;
    folders_.push_back(localFolder);
  }

  // A Windows folder of the system: its client root, when that holds a client.
  void AddWindows(const TWindowsSystem& sys, const std::string& windowsFolder) {
    if (windowsFolder.empty()) return;
    const std::string local = LocalFolder(sys, ClientRootOf(WithSep(windowsFolder, '\\')));
    if (!local.empty() && HoldsClientExe(local)) AddLocal(local);
  }

  static std::string LocalFolder(const TWindowsSystem& sys, const std::string& windowsFolder) {
    const std::string local = sys.LocalPath(windowsFolder);
    return local.empty() ? local : IncludeTrailingPathDelimiter(local);
  }

  void Launcher(const TWindowsSystem& sys, const char* uninstallName, const char* iconKey,
                const std::string& recordedFolder) {
    std::string exe = sys.Registry->ReadString(TRegistryRoot::CurrentUser,
                                               std::string(kUninstallKey) + "\\" + uninstallName, "DisplayIcon");
    auto exists = [&](const std::string& windowsFile) {
      const std::string local = sys.LocalPath(windowsFile);
      return !local.empty() && FileExists(local);
    };
    auto withoutIconIndex = [](std::string v) { return v.size() >= 2 ? v.substr(0, v.size() - 2) : std::string(); };
    std::string folder;
    if (exists(withoutIconIndex(exe))) {
      folder = FolderOf(withoutIconIndex(exe));
    } else if (exe = withoutIconIndex(sys.Registry->ReadString(TRegistryRoot::ClassesRoot, iconKey, "")); exists(exe)) {
      folder = FolderOf(exe);
    } else {
      folder = recordedFolder;
    }
    if (folder.empty()) return;
    const std::string local = LocalFolder(sys, folder);
    if (local.empty()) return;
    const std::string prefs = ReadWhole(local + "preferences.xml");
    if (prefs.empty()) return;
    if (const std::string current = Between(prefs, "<current_game>", "</current_game>"); !current.empty())
      Game(sys, current);
    if (const std::size_t at = prefs.find("<games_manager>"); at != std::string::npos) {
      std::string_view rest = std::string_view(prefs).substr(at);
      for (std::size_t p = rest.find("<working_dir>"); p != std::string_view::npos; p = rest.find("<working_dir>")) {
        rest.remove_prefix(p);
        Game(sys, Between(rest, "<working_dir>", "</working_dir>"));
        rest.remove_prefix(std::string_view("<working_dir>").size());
      }
    }
  }

  void Game(const TWindowsSystem& sys, const std::string& windowsFolder) {
    if (windowsFolder.empty()) return;
    const std::string local = LocalFolder(sys, WithSep(windowsFolder, '\\'));
    if (local.empty() || !HoldsClientExe(local)) return;
    if (!testClients_ && IsCommonTestFolder(local)) return;
    AddLocal(local);
  }

  void UninstallEntry(const TWindowsSystem& sys, const RUninstallList& list, const std::string& name) {
    const std::string key = std::string(list.Key) + "\\" + name;
    const std::string display = sys.Registry->ReadString(list.Root, key, "DisplayName");
    const std::string publisher = sys.Registry->ReadString(list.Root, key, "Publisher");
    bool accept = false;
    if (SameText(publisher, "Lesta Games"))
      accept = SameText(display, "Мир танков") || (testClients_ && SameText(display, "Общий тест"));
    else if (SameText(publisher, "Wargaming.net"))
      accept = display.find("World of Tanks") != std::string::npos &&
               (testClients_ || display.find("Common Test") == std::string::npos);
    if (accept) AddWindows(sys, sys.Registry->ReadString(list.Root, key, "InstallLocation"));
  }

  void KnownKey(const TWindowsSystem& sys, const RUninstallList& list, const char* name) {
    AddWindows(sys, sys.Registry->ReadString(list.Root, std::string(list.Key) + "\\" + name, "InstallLocation"));
  }

  // One list of uninstall entries: nothing is tried in a list that has no entries at all.
  void UninstallList(const TWindowsSystem& sys, const RUninstallList& list) {
    const TStrArray names = sys.Registry->SubKeys(list.Root, list.Key);
    if (names.empty()) return;
    for (const auto& name : names) {
      bool known = false;
      for (const char* k : kKnownKeys) known = known || SameText(name, k);
      for (const char* k : kKnownTestKeys) known = known || SameText(name, k);
      if (!known) UninstallEntry(sys, list, name);
    }
    for (const char* k : kKnownKeys) KnownKey(sys, list, k);
    if (testClients_)
      for (const char* k : kKnownTestKeys) KnownKey(sys, list, k);
  }

  void Run(const TWindowsSystem& sys, std::uint8_t sources) {
    if (sources & SearchLestaCenter) {
      // Lesta Game Center also records its folder in a file of its own.
      std::string recorded = Trim(ReadWhole(sys.LocalPath("C:\\ProgramData\\Lesta\\GameCenter\\data\\lgc_path.dat")));
      if (EndsText(".exe", recorded)) recorded = FolderOf(recorded);
      Launcher(sys, "Lesta Game Center", "lgc\\DefaultIcon", recorded);
    }
    if (sources & SearchWargamingCenter) Launcher(sys, "Wargaming.net Game Center", "wgc\\DefaultIcon", "");
    if (sources & SearchReplayLink) {
      // "\"C:\\Games\\World_of_Tanks\\WorldOfTanks.exe\",0": the quoted path without the icon index.
      std::string v = sys.Registry->ReadString(TRegistryRoot::ClassesRoot, ".wotreplay\\DefaultIcon", "");
      v = v.size() >= 4 ? v.substr(1, v.size() - 4) : std::string();
      const std::string local = v.empty() ? v : sys.LocalPath(v);
      if (!local.empty() && FileExists(local)) AddWindows(sys, FolderOf(v));
    }
    if (sources & SearchRegistry)
      for (const RUninstallList& list : kUninstallLists) UninstallList(sys, list);
  }

 private:
  SArray& folders_;
  bool testClients_;
};

bool IsPrefix(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p / "drive_c", ec) || fs::is_regular_file(p / "system.reg", ec) ||
         fs::is_regular_file(p / "user.reg", ec);
}

// The library folders a Steam installation lists, itself included.
TStrArray SteamLibraries(const fs::path& steamRoot) {
  TStrArray libraries{steamRoot.string()};
  const std::string vdf = ReadWhole((steamRoot / "steamapps" / "libraryfolders.vdf").string());
  for (const std::string& line : SplitLines(vdf)) {
    const std::string t = Trim(line);
    if (t.rfind("\"path\"", 0) != 0) continue;
    const std::size_t open = t.find('"', 6);
    const std::size_t close = open == std::string::npos ? open : t.rfind('"');
    if (open == std::string::npos || close <= open) continue;
    std::string path;
    const std::string raw = t.substr(open + 1, close - open - 1);
    for (std::size_t i = 0; i < raw.size(); ++i) path.push_back(raw[i] == '\\' && i + 1 < raw.size() ? raw[++i] : raw[i]);
    libraries.push_back(path);
  }
  return libraries;
}

}  // namespace

bool HoldsClientExe(const std::string& folder) {
  return FileExists(folder + "WorldOfTanks.exe") || FileExists(folder + "Tanki.exe");
}

std::string WinePathToLocal(const std::string& prefix, const std::string& windowsPath) {
  if (windowsPath.size() < 2 || windowsPath[1] != ':' || !std::isalpha(static_cast<unsigned char>(windowsPath[0])))
    return {};
  const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(windowsPath[0])));
  fs::path path = fs::path(prefix) / "dosdevices" / (std::string(1, drive) + ":");
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    if (drive != 'c') return {};
    path = fs::path(prefix) / "drive_c";
  }
  // The drive's own folder (drive_c, or where a drive link points), as the user knows it.
  if (const fs::path real = fs::canonical(path, ec); !ec) path = real;
  std::size_t start = 2;
  while (start < windowsPath.size()) {
    while (start < windowsPath.size() && IsSep(windowsPath[start])) ++start;
    std::size_t end = start;
    while (end < windowsPath.size() && !IsSep(windowsPath[end])) ++end;
    if (end == start) break;
    const std::string part = windowsPath.substr(start, end - start);
    if (part == "..") return {};
    fs::path next = path / part;
    if (!fs::exists(next, ec)) {
      // Wine finds names ignoring letter case; so does this.
      for (auto it = fs::directory_iterator(path, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (SameText(it->path().filename().string(), part)) {
          next = it->path();
          break;
        }
      }
    }
    path = next;
    start = end;
  }
  std::string local = path.string();
  if (IsSep(windowsPath.back())) local = IncludeTrailingPathDelimiter(local);
  return local;
}

TStrArray FindWinePrefixes(const std::string& home, const std::function<std::string(const char*)>& env) {
  std::vector<fs::path> candidates;
  if (const std::string p = env("WINEPREFIX"); !p.empty()) candidates.emplace_back(p);
  std::error_code ec;
  auto subfolders = [&](const fs::path& parent, const char* inner) {
    for (auto it = fs::directory_iterator(parent, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
      if (it->is_directory(ec)) candidates.push_back(inner ? it->path() / inner : it->path());
    ec.clear();
  };
  // Without a home folder ($HOME unset) these places would be relative to the working folder.
  if (const fs::path h(home); h.is_absolute()) {
    candidates.push_back(h / ".wine");
    subfolders(h / "Games", nullptr);                                        // Lutris games
    subfolders(h / ".local" / "share" / "bottles" / "bottles", nullptr);     // Bottles
    subfolders(h / ".var" / "app" / "com.usebottles.bottles" / "data" / "bottles" / "bottles", nullptr);
    for (const fs::path& steam : {h / ".steam" / "steam", h / ".local" / "share" / "Steam",
                                  h / ".var" / "app" / "com.valvesoftware.Steam" / ".local" / "share" / "Steam"}) {
      if (!fs::is_directory(steam, ec)) continue;
      for (const std::string& library : SteamLibraries(steam))
        subfolders(fs::path(library) / "steamapps" / "compatdata", "pfx");
    }
  }
  TStrArray prefixes;
  std::set<std::string> seen;
  for (const auto& c : candidates) {
    if (!IsPrefix(c)) continue;
    const std::string key = fs::weakly_canonical(c, ec).string();
    if (!seen.insert(ec ? c.string() : key).second) continue;
    prefixes.push_back(IncludeTrailingPathDelimiter(c.string()));
  }
  return prefixes;
}

namespace {

class TSystemRegistry final : public TRegistryReader {
 public:
  std::string ReadString(TRegistryRoot root, const std::string& key, const std::string& name) const override {
    return SystemRegistryString(Root(root), key, name);
  }
  TStrArray SubKeys(TRegistryRoot root, const std::string& key) const override {
    return SystemRegistrySubKeys(Root(root), key);
  }

 private:
  static TSystemRegistryRoot Root(TRegistryRoot root) {
    return root == TRegistryRoot::ClassesRoot    ? TSystemRegistryRoot::ClassesRoot
           : root == TRegistryRoot::LocalMachine ? TSystemRegistryRoot::LocalMachine
                                                 : TSystemRegistryRoot::CurrentUser;
  }
};

}  // namespace

std::unique_ptr<TRegistryReader> SystemRegistry() { return std::make_unique<TSystemRegistry>(); }

std::vector<TWindowsSystem> FindWindowsSystems(const std::string& home,
                                               const std::function<std::string(const char*)>& env) {
  std::vector<TWindowsSystem> systems;
#ifdef _WIN32
  (void)home;
  (void)env;
  systems.push_back({SystemRegistry(), [](const std::string& p) { return p; }});
#else
  for (const std::string& prefix : FindWinePrefixes(home, env))
    systems.push_back({std::make_unique<TWineRegistry>(prefix),
                       [prefix](const std::string& p) { return WinePathToLocal(prefix, p); }});
#endif
  return systems;
}

int FindWOTClientsIn(SArray& folders, std::uint8_t sources, bool testClients, const std::string& programFolder,
                     const std::vector<TWindowsSystem>& systems) {
  folders.clear();
  TSearch search(folders, testClients);
  if ((sources & SearchOwnFolder) && !programFolder.empty()) {
    const std::string own = IncludeTrailingPathDelimiter(programFolder);
    if (HoldsClientExe(own)) {
      folders.push_back(ClientRootOf(own));
    } else {
      std::error_code ec;
      for (auto it = fs::directory_iterator(fs::path(own), ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string sub = IncludeTrailingPathDelimiter(it->path().string());
        if (it->is_directory(ec) && HoldsClientExe(sub)) folders.push_back(ClientRootOf(sub));
      }
    }
  }
  for (const TWindowsSystem& sys : systems) search.Run(sys, sources);
  return static_cast<int>(folders.size());
}

namespace {

std::string Environment(const char* name) {
  const char* v = std::getenv(name);
  return std::string(v ? v : "");
}

}  // namespace

TStrArray FindWinePrefixes() { return FindWinePrefixes(Environment("HOME"), Environment); }

int FindWOTClients(SArray& folders, std::uint8_t sources, bool testClients) {
  return FindWOTClientsIn(folders, sources, testClients, ExecutableFolder(),
                          FindWindowsSystems(Environment("HOME"), Environment));
}

}  // namespace ashtint
