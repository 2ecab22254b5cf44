#include "net/endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "common/build_config.h"

namespace ashtint {
namespace {

TEST(EndpointsTest, BuiltInAddressesAndRunTimeOverride) {
  ::unsetenv("ASHTINT_CONFIGS_BASE_URL");
  ::unsetenv("ASHTINT_SITE_URL");
  ::unsetenv("ASHTINT_SEVENZIP_DOWNLOAD_PATH");
  const std::string configs = ConfigsRepositoryUrl();
  ASSERT_FALSE(configs.empty());
  EXPECT_EQ(configs.back(), '/');
  EXPECT_EQ(configs.rfind(build::ConfigsBaseUrl, 0), 0u);
  EXPECT_EQ(SevenZipDownloadUrl().rfind(SiteUrl() + "/pub/api/v2/modules.php?code=download&file=7z", 0), 0u);
  EXPECT_NE(SiteUrl().back(), '/');

  ::setenv("ASHTINT_CONFIGS_BASE_URL", "http://127.0.0.1:8080/cfg", 1);
  ::setenv("ASHTINT_SITE_URL", "http://127.0.0.1:8081/", 1);
  EXPECT_EQ(ConfigsRepositoryUrl(), "http://127.0.0.1:8080/cfg/");
  EXPECT_EQ(SevenZipDownloadUrl().rfind("http://127.0.0.1:8081/pub/api/v2/modules.php?", 0), 0u);
  ::setenv("ASHTINT_CONFIGS_BASE_URL", "", 1);
  EXPECT_EQ(ConfigsRepositoryUrl(), configs) << "an empty variable keeps the built-in address";
  ::unsetenv("ASHTINT_CONFIGS_BASE_URL");
  ::unsetenv("ASHTINT_SITE_URL");
}

TEST(EndpointsTest, RepositoryFileUrlTakesTheFileNameOfTheLocalPath) {
  EXPECT_EQ(RepositoryFileUrl("https://h/configs/", "/opt/ashtint/CrashTanks.cfg"), "https://h/configs/CrashTanks.cfg");
  EXPECT_EQ(RepositoryFileUrl("https://h/configs/", "MapTanks.cfg"), "https://h/configs/MapTanks.cfg");
}

}  // namespace
}  // namespace ashtint
