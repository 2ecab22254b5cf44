// The program's online addresses. Their defaults are build-time settings (cmake/Endpoints.cmake,
// reaching the code through common/build_config.h); an environment variable of the same name,
// when set and not empty, replaces one at run time (for a mirror, or a local test server).
#pragma once

#include <string>
#include <string_view>

namespace ashtint {

// Base URL of the configuration repository, ending with "/" (ASHTINT_CONFIGS_BASE_URL).
std::string ConfigsRepositoryUrl();

// Program website without a trailing "/" (ASHTINT_SITE_URL).
std::string SiteUrl();

// Archive library download: the website + ASHTINT_SEVENZIP_DOWNLOAD_PATH.
std::string SevenZipDownloadUrl();

// Base URL of the update server, ending with "/" (ASHTINT_UPDATE_BASE_URL).
std::string UpdateServerUrl();

// Documentation topic opened by the front end (ASHTINT_HELP_URL).
std::string HelpUrl();

// The URL of a repository file: base URL + the file name part of a local path
// ("https://host/configs/" + "CrashTanks.cfg").
std::string RepositoryFileUrl(std::string_view baseUrl, std::string_view localPath);

}  // namespace ashtint
