#include "config/cfg_refresh.h"

#include <cerrno>
#include <cstring>
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

// A configuration file is a few KiB; an answer far larger is something else.
constexpr std::size_t kMaxCfgBytes = 1024 * 1024;

// Roots and signs name game files: a character no file path can hold (markup, controls) marks
// an error or portal page that happens to carry version lines.
bool NamesGamePaths(const std::string& text) {
  for (const unsigned char c : text)
    if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?') return false;
  return true;
}

// Why a fetched text may not replace a local file; empty when it may.
std::string UnusableFetchedText(const std::string& text) {
  RCfgFile cfg;
  ParseCfgText(text, cfg);
  if (!IsCfgUsable(cfg, cfg.SoftVersion)) return "the answer holds no configuration roots";
  for (const RFiles& root : cfg.Roots) {
    bool ok = NamesGamePaths(root.Name);
    for (const RSign& sign : root.Signs)
      for (const std::string& word : sign.Words) ok = ok && NamesGamePaths(word);
    if (!ok) return "the answer is not a configuration file (root " + root.Name.substr(0, 60) + ")";
  }
  return {};
}

// The fetched text with CR LF line ends and a final CR LF, written beside the target and renamed
// over it. False with why on failure.
bool WriteCfgText(const std::string& path, const std::string& text, std::string& why) {
  std::string out;
  out.reserve(text.size() + 64);
  for (const std::string& line : SplitCfgLines(text)) {
    out += line;
    out += "\r\n";
  }
  const std::string temp = SiblingTempName(path);
  {
    errno = 0;
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) {
      why = "cannot create " + temp + ": " + std::strerror(errno != 0 ? errno : EIO);
      return false;
    }
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    file.close();
    if (!file) {
      why = "cannot write " + temp + ": " + std::strerror(errno != 0 ? errno : EIO);
      std::error_code ignored;
      std::filesystem::remove(temp, ignored);
      return false;
    }
  }
  std::error_code ec;
  if (ReplaceFileWith(temp, path, ec)) return true;
  why = "cannot replace " + path + ": " + ec.message();
  return false;
}

}  // namespace

int RefreshCfgFile(const std::string& localPath, int programBuild, std::string_view baseUrl, std::string* why) noexcept {
  std::string reason;
  const auto result = [&](int code, std::string text = {}) {
    if (why) *why = std::move(text);
    return code;
  };
  try {
    const std::int32_t localVersion = LocalVersion(localPath);
    RIStringResult fetched;
    DownloadString(BrowserStringRequest(RepositoryFileUrl(baseUrl, localPath)), fetched);
    if (fetched.Error) return result(crDisconnect, "no answer (error " + std::to_string(fetched.Code) + ")");
    if (!IsHttpSuccess(fetched.HttpStatus))
      return result(crDisconnect, "HTTP status " + std::to_string(fetched.HttpStatus));
    if (fetched.Empty) return result(crDisconnect, "empty answer");
    if (fetched.Body.find('\0') != std::string::npos) return result(crDisconnect, "the answer is not text");
    if (fetched.Body.size() > kMaxCfgBytes) return result(crDisconnect, "the answer is too large");
    std::int32_t version = 0;
    std::int32_t soft = 0;
    FetchedVersions(fetched.Body, version, soft);
    if (version <= 0 || soft <= 0) return result(crDisconnect, "the answer has no version lines");
    if (programBuild < soft) return result(crSoftOutdated);
    if (localVersion < 1 || localVersion < version) {
      if (std::string unusable = UnusableFetchedText(fetched.Body); !unusable.empty())
        return result(crDisconnect, unusable);
      return WriteCfgText(localPath, fetched.Body, reason) ? result(crUpdated) : result(crWriteFailed, reason);
    }
    return result(crCurrent);
  } catch (const std::exception& e) {
    return result(crDisconnect, e.what());
  } catch (...) {
    return result(crDisconnect);
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
    case crWriteFailed:
      return "Cannot write the file!";
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
                     const std::function<void(const std::string&)>& writeLn,
                     const std::function<void(const std::string&)>& log) {
  for (const char* name : CfgFileNames) {
    write(CfgRefreshLabel(name));
    std::string why;
    const int result = RefreshCfgFile(configsPath + name, programBuild, baseUrl, &why);
    writeLn(CfgRefreshWord(result));
    if (log) log("Refresh " + std::string(name) + ": " + CfgRefreshWord(result) + (why.empty() ? "" : " (" + why + ")"));
  }
}

}  // namespace ashtint
