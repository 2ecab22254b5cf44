#include "config/cfg_refresh.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "config/cfg_file.h"
#include "net/endpoints.h"
#include "net/internet.h"
#include "common/sibling_file.h"

namespace ashtint {

namespace {

// The value of the first version line of the local file; 0 when the file, the line or the
// number is missing, or when the file cannot be read.
std::int32_t LocalVersion(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  for (const std::string& raw : SplitCfgLines(WithoutBom(text))) {
    const std::string line = TrimCfgLine(raw);
    if (line.empty() || line.front() == '#') continue;
    std::int32_t value = 0;
    if (ReadCfgKey(line, CfgVersionKey, value)) return value;
  }
  return 0;
}

// Version and soft version of a fetched text; a later line replaces an earlier value, and the
// scan stops once both are positive.
void FetchedVersions(const std::string& text, std::int32_t& version, std::int32_t& soft) {
  version = 0;
  soft = 0;
  for (const std::string& raw : SplitCfgLines(WithoutBom(text))) {
    const std::string line = TrimCfgLine(raw);
    if (line.empty() || line.front() == '#') continue;
    std::int32_t value = 0;
    if (ReadCfgKey(line, CfgVersionKey, value)) {
      version = value;
    } else if (ReadCfgKey(line, CfgSoftVersionKey, value)) {
      soft = value;
    }
    if (version > 0 && soft > 0) return;
  }
}

// The fetched text with CR LF line ends and a final CR LF, written beside the target and renamed
// over it.
bool WriteCfgText(const std::string& path, const std::string& text) {
  std::string out;
  out.reserve(text.size() + 64);
  for (const std::string& line : SplitCfgLines(text)) {
    out += line;
    out += "\r\n";
  }
  const std::string temp = SiblingTempName(path);
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code ec;
  return ReplaceFileWith(temp, path, ec);
}

}  // namespace

int RefreshCfgFile(const std::string& localPath, int programBuild, std::string_view baseUrl) noexcept {
  try {
    const std::int32_t localVersion = LocalVersion(localPath);
    RIStringResult fetched;
    DownloadString(BrowserStringRequest(RepositoryFileUrl(baseUrl, localPath)), fetched);
    if (fetched.Error || fetched.Empty) return crDisconnect;
    std::int32_t version = 0;
    std::int32_t soft = 0;
    FetchedVersions(fetched.Body, version, soft);
    if (version <= 0 || soft <= 0) return crDisconnect;
    if (programBuild < soft) return crSoftOutdated;
    if (localVersion < 1 || localVersion < version) {
      return WriteCfgText(localPath, fetched.Body) ? crUpdated : crWriteFailed;
    }
    return crCurrent;
  } catch (...) {
    return crDisconnect;
  }
}

const char* CfgRefreshWord(int result) {
  switch (result) {
    case crCurrent:
      return "OK";
    case crUpdated:
      return "Updated";
    case crSoftOutdated:
      return "Soft is outdated, needs an update!";
    default:
      return "Disconnect";
  }
}

std::string CfgRefreshLabel(std::string_view fileName) {
  const std::string label = std::string(fileName) + "... ";
  std::string line(10, ' ');
  line += label;
  if (label.size() < 20) line.append(20 - label.size(), ' ');
  return line;
}

void RefreshCfgFiles(const std::string& configsPath, int programBuild, std::string_view baseUrl,
                     const std::function<void(const std::string&)>& write,
                     const std::function<void(const std::string&)>& writeLn) {
  for (const char* name : CfgFileNames) {
    write(CfgRefreshLabel(name));
    writeLn(CfgRefreshWord(RefreshCfgFile(configsPath + name, programBuild, baseUrl)));
  }
}

}  // namespace ashtint
