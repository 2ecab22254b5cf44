# Online endpoints of the program. They are build-time settings, kept here and nowhere else;
# the code reaches them through common/build_config.h. Override with -D on the cmake line.
set(ASHTINT_CONFIGS_BASE_URL "https://ashtint.example.net/configs/" CACHE STRING
  "Base URL of the configuration repository (ends with a slash)")
set(ASHTINT_SITE_URL "https://ashtint.example.net" CACHE STRING
  "Program website; the archive library download lives under it")
set(ASHTINT_SEVENZIP_DOWNLOAD_PATH "/pub/api/v2/modules.php?code=download&file=7z" CACHE STRING
  "Path and query of the archive library download on the program website")
set(ASHTINT_UPDATE_BASE_URL "https://ashtint.example.net/update/" CACHE STRING
  "Base URL of the update server (ends with a slash)")
set(ASHTINT_HELP_URL "https://ashtint.example.net/help" CACHE STRING
  "Documentation topic opened by the front end")
