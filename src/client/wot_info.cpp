#include "client/wot_info.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <system_error>

#include "common/file_system.h"
#include "common/text.h"

namespace ashtint {

namespace {

namespace fs = std::filesystem;

// Wargaming's clients run WorldOfTanks.exe; Lesta's current ones run Tanki.exe.
constexpr const char* kWotExeName = "WorldOfTanks.exe";
constexpr const char* kTankiExeName = "Tanki.exe";
constexpr const char* kClientExeNames[] = {kWotExeName, kTankiExeName};

// A missing file reads as the empty text; a file that exists but cannot be read is an error.
std::string ReadTextFile(const std::string& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(fs::path(path), ec);
  if (st.type() == fs::file_type::not_found) return {};
  if (ec || st.type() != fs::file_type::regular) throw std::runtime_error("Cannot read " + path);
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open " + path);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw std::runtime_error("Cannot read " + path);
  return text;
}

// The characters after the first `marker` up to, not including, the next `stop`. Empty when
// the marker is absent; an error when the stop never comes, as the text is cut short then.
std::string TextAfterUpTo(std::string_view text, std::string_view marker, char stop) {
  const std::size_t at = text.find(marker);
  if (at == std::string_view::npos) return {};
  const std::size_t from = at + marker.size();
  const std::size_t end = text.find(stop, from);
  if (end == std::string_view::npos)
    throw std::runtime_error("No '" + std::string(1, stop) + "' after " + std::string(marker));
  return std::string(text.substr(from, end - from));
}

std::string SlashesToNative(std::string s) {
  std::replace(s.begin(), s.end(), '/', PathDelim);
  return s;
}

// paths.xml names the versioned folder under res_mods or mods. That folder is where the
// program writes, so a name that climbs out of the client or is absolute is refused.
std::string VersionedFolder(const std::string& clientDir, std::string_view pathsXml, std::string_view marker,
                            const char* base) {
  const std::string sub = Trim(TextAfterUpTo(pathsXml, marker, '<'));
  bool unsafe = !sub.empty() && (sub[0] == '/' || sub[0] == '\\' || sub.find(':') != std::string::npos);
  for (std::size_t start = 0; !unsafe && start <= sub.size();) {
    std::size_t end = sub.find_first_of("/\\", start);
    if (end == std::string::npos) end = sub.size();
    unsafe = sub.compare(start, end - start, "..") == 0;
    start = end + 1;
  }
  if (unsafe) throw std::runtime_error("Unsafe folder in paths.xml: " + sub);
  return IncludeTrailingPathDelimiter(clientDir + base + PathDelim + SlashesToNative(sub));
}

// A client root holds the launcher and the game in win32 or win64, under one of the names.
bool HasClientExe(const std::string& folder, const char* name) {
  return FileExists(folder + name) &&
         (FileExists(folder + "win64" + PathDelim + name) || FileExists(folder + "win32" + PathDelim + name));
}

bool IsClientRoot(const std::string& folder) {
  for (const char* name : kClientExeNames)
    if (HasClientExe(folder, name)) return true;
  return false;
}

// The extension of the mod packages the client loads, from the mask in paths.xml (either
// <Mask>*.ext</Mask> or a mask="*.ext" attribute); ".wotmod" when it names none.
std::string PackageExtOf(std::string_view pathsXml) {
  const std::string lower = LowerCase(pathsXml);
  for (const std::string_view marker : {std::string_view("<mask>*."), std::string_view("mask=\"*.")}) {
    const std::size_t at = lower.find(marker);
    if (at == std::string::npos) continue;
    std::string ext;
    for (std::size_t i = at + marker.size(); i < lower.size(); ++i) {
      const char c = lower[i];
      if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) ext.push_back(c);
      else break;
    }
    if (!ext.empty() && ext.size() <= 16) return "." + ext;
  }
  return ".wotmod";
}

// The client folder for a given path: a folder as it is, the folder of a file. A place inside
// the client's win32 or win64 folder leads to the client root. A client that merely lies below
// some folder named win32 or win64 is kept where it is.
std::string ClientFolderOf(std::string path) {
#ifdef _WIN32
  std::replace(path.begin(), path.end(), '/', '\\');  // both separators are accepted there
#endif
  std::string folder;
  if (DirectoryExists(path) || ExtractFileExt(path).empty())
    folder = IncludeTrailingPathDelimiter(path);
  else
    folder = ExtractFilePath(path);
  if (IsClientRoot(folder)) return folder;

  const std::string m32 = std::string(1, PathDelim) + "win32" + PathDelim;
  const std::string m64 = std::string(1, PathDelim) + "win64" + PathDelim;
  std::vector<std::size_t> marks;  // where each win32/win64 component starts, outermost first
  for (std::size_t i = 0; i + m32.size() <= folder.size(); ++i)
    if (folder.compare(i, m32.size(), m32) == 0 || folder.compare(i, m64.size(), m64) == 0) marks.push_back(i);
  if (marks.empty()) return folder;
  for (auto it = marks.rbegin(); it != marks.rend(); ++it) {
    const std::string parent = folder.substr(0, *it + 1);
    if (IsClientRoot(parent)) return parent;
  }
  return folder.substr(0, marks.front() + 1);
}

// The publisher named in game_info.xml, empty when it names none.
std::string PublisherOf(const std::string& gameInfo) {
  const std::string marker = "wgc_publisher_id=\"";
  const std::size_t at = gameInfo.find(marker);
  if (at == std::string::npos) return {};
  const std::size_t from = at + marker.size();
  const std::size_t end = gameInfo.find('"', from);
  return Trim(gameInfo.substr(from, end == std::string::npos ? std::string::npos : end - from));
}

bool IsHDPackage(const std::string& lname) {
  return lname.find("_hd.pkg") != std::string::npos || lname.find("_hd-part") != std::string::npos;
}

// Byte-wise order; an equal path goes after the ones already there.
void InsertSorted(SArray& list, const std::string& path) {
  list.insert(std::upper_bound(list.begin(), list.end(), path), path);
}

void ListPackages(RWOTInfo& info, const std::string& pathsXml) {
  std::string filter;
  filter.reserve(pathsXml.size());
  for (char c : pathsXml)
    if (c != '\r' && c != '\n') filter.push_back(c);
  filter = LowerCase(filter);

  const std::string folder = info.ClientDir + "res" + PathDelim + "packages" + PathDelim;
  std::error_code ec;
  fs::directory_iterator it(fs::path(folder), ec);
  if (ec) return;  // no package folder: nothing to list
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) throw std::system_error(ec, "Listing " + folder);
    try {
      const std::string name = it->path().filename().string();
      const std::string lname = LowerCase(name);
      if (lname.size() < 4 || lname.compare(lname.size() - 4, 4, ".pkg") != 0) continue;
      std::error_code sec;
      // Folders are skipped; so are pipes and devices, which no package reader could use.
      if (!it->is_regular_file(sec)) continue;
      if (!filter.empty() && filter.find("res/packages/" + lname) == std::string::npos) continue;

      const std::string full = folder + name;
      const bool hd = IsHDPackage(lname);
      if (!hd) InsertSorted(info.Pkgs, full);
      if (lname.find("shared_content") != std::string::npos || (name[0] >= '0' && name[0] <= '9')) {
        InsertSorted(info.MapPkgsWithHD, full);
        if (!hd) InsertSorted(info.MapPkgs, full);
      }
      if (lname.find("shared_content") != std::string::npos || lname.find("vehicles_level") != std::string::npos) {
        InsertSorted(info.VehiclePkgsWithHD, full);
        if (!hd) InsertSorted(info.VehiclePkgs, full);
      }
      info.PkgsFound = true;
    } catch (const std::exception&) {
      // One odd entry does not spoil the others.
    }
  }
  if (ec) throw std::system_error(ec, "Listing " + folder);
}

void Examine(const std::string& path, RWOTInfo& info) {
  if (path.empty()) return;
  const std::string dir = ClientFolderOf(path);
  if (!DirectoryExists(dir)) return;
  const std::string gameInfo = ReadTextFile(dir + "game_info.xml");
  const bool markedLesta = SameText(PublisherOf(gameInfo), "lesta");
  // The executable whose game is there; with both complete, the publisher's own name wins.
  const char* exeName = nullptr;
  for (const char* name : kClientExeNames) {
    if (!HasClientExe(dir, name)) continue;
    if (exeName == nullptr || (markedLesta && name == kTankiExeName)) exeName = name;
  }
  if (exeName == nullptr) {
    // A launcher without its game: the client is found, its game is missing.
    for (const char* name : kClientExeNames)
      if (exeName == nullptr && FileExists(dir + name)) exeName = name;
    if (exeName == nullptr) return;
  }
  info.ClientDir = dir;
  info.ClientExe = dir + exeName;

  const std::string exe32 = dir + "win32" + PathDelim + exeName;
  const std::string exe64 = dir + "win64" + PathDelim + exeName;
  const bool has32 = FileExists(exe32), has64 = FileExists(exe64);
  if (!has32 && !has64) return;
  info.GameExe = has64 ? exe64 : exe32;

  info.PathsXmlFile = dir + "paths.xml";
  info.VersionXmlFile = dir + "version.xml";
  info.GameInfoXmlFile = dir + "game_info.xml";

  // Publisher: an explicit lesta mark, or Lesta's own executable without any mark.
  const std::string publisher = PublisherOf(gameInfo);
  info.IsLesta = SameText(publisher, "lesta") || (publisher.empty() && exeName == kTankiExeName);
  info.IsWargaming = !info.IsLesta;

  const std::string pathsXml = ReadTextFile(info.PathsXmlFile);
  if (!pathsXml.empty()) {
    info.ResModsDir = VersionedFolder(dir, pathsXml, "./res_mods/", "res_mods");
    info.ModsDir = VersionedFolder(dir, pathsXml, "./mods/", "mods");
  }
  info.PackageExt = PackageExtOf(pathsXml);

  const std::string versionXml = ReadTextFile(info.VersionXmlFile);
  const std::string versionText = Trim(TextAfterUpTo(versionXml, "<version>", '<'));
  if (versionText.empty()) return;
  // "v.1.24.0.1 #1234": the dotted number after "v.", then every digit that follows.
  std::size_t i = 2;
  while (i < versionText.size() && ((versionText[i] >= '0' && versionText[i] <= '9') || versionText[i] == '.'))
    info.Version.push_back(versionText[i++]);
  for (; i < versionText.size(); ++i)
    if (versionText[i] >= '0' && versionText[i] <= '9') info.Build.push_back(versionText[i]);

  std::string realm;
  if (const std::size_t at = versionXml.find("<realm>"); at != std::string::npos) {
    const std::size_t from = at + 7;
    const std::size_t end = versionXml.find("</realm>", from);
    if (end != std::string::npos) realm = Trim(versionXml.substr(from, end - from));
  }
  info.IsCommonTest = SameText(realm, "CT") || SameText(realm, "RPT");

  if (info.Version.empty() || !FileExists(info.PathsXmlFile)) return;
  ListPackages(info, pathsXml);
}

}  // namespace

void ReadWOTInfo(const std::string& path, RWOTInfo& info) noexcept {
  try {
    info = RWOTInfo{};
    Examine(path, info);
  } catch (...) {
    info.Failed = true;
  }
}

}  // namespace ashtint
