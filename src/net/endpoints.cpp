#include "net/endpoints.h"

#include <cstdlib>

#include "common/build_config.h"
#include "common/text.h"

namespace ashtint {

namespace {

std::string Setting(const char* name, const char* builtIn) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? std::string(value) : std::string(builtIn);
}

std::string WithSlash(std::string url) {
  if (!url.empty() && url.back() != '/') url.push_back('/');
  return url;
}

std::string WithoutSlash(std::string url) {
  while (!url.empty() && url.back() == '/') url.pop_back();
  return url;
}

}  // namespace

std::string ConfigsRepositoryUrl() { return WithSlash(Setting("ASHTINT_CONFIGS_BASE_URL", build::ConfigsBaseUrl)); }

std::string SiteUrl() { return WithoutSlash(Setting("ASHTINT_SITE_URL", build::SiteUrl)); }

std::string SevenZipDownloadUrl() {
  std::string path = Setting("ASHTINT_SEVENZIP_DOWNLOAD_PATH", build::SevenZipDownloadPath);
  if (!path.empty() && path.front() != '/') path.insert(path.begin(), '/');
  return SiteUrl() + path;
}

std::string UpdateServerUrl() { return WithSlash(Setting("ASHTINT_UPDATE_BASE_URL", build::UpdateBaseUrl)); }

std::string HelpUrl() { return Setting("ASHTINT_HELP_URL", build::HelpUrl); }

std::string RepositoryFileUrl(std::string_view baseUrl, std::string_view localPath) {
  return std::string(baseUrl) + ExtractFileName(localPath);
}

}  // namespace ashtint
