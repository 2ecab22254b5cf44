# Online endpoints of the program. They are build-time settings, kept here and nowhere else;
# the code reaches them through common/build_config.h. Override with -D on the cmake line.
# At run time an environment variable of the same name, when set, replaces the built-in value.
set(ASHTINT_CONFIGS_BASE_URL "https://ashtint.example.net/configs/" CACHE STRING
  "Base URL of the configuration repository (ends with a slash)")
set(ASHTINT_SITE_URL "https://ashtint.example.net" CACHE STRING
  "Program website; the archive library download lives under it")

# The archive library differs per platform (7z.dll on Windows, 7z.so elsewhere), so the
# download names the platform everywhere but on Windows.
if(WIN32)
  set(_ashtint_7z_query "code=download&file=7z")
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" _ashtint_platform)
  set(_ashtint_7z_query "code=download&file=7z&platform=${_ashtint_platform}")
endif()
set(ASHTINT_SEVENZIP_DOWNLOAD_PATH "/pub/api/v2/modules.php?${_ashtint_7z_query}" CACHE STRING
  "Path and query of the archive library download on the program website")

set(ASHTINT_UPDATE_BASE_URL "https://ashtint.example.net/update/" CACHE STRING
  "Base URL of the update server (ends with a slash)")
set(ASHTINT_HELP_URL "https://ashtint.example.net/help" CACHE STRING
  "Documentation topic opened by the front end")
