// A private copy of the engine in a temporary folder (so its log and configuration files land
// there), and small client folders written by hand for start-up checks.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "test_support/run_process.h"
#include "test_support/temp_dir.h"

namespace e2e {

inline std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void WriteFile(const std::filesystem::path& p, const std::string& text) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << text;
}

class EngineEnv {
 public:
  EngineEnv() {
    std::filesystem::create_directories(programDir());
    std::filesystem::copy_file(ASHTINT_ENGINE_FILE, engine());
    std::filesystem::permissions(engine(), std::filesystem::perms::owner_all);
  }
  std::filesystem::path root() const { return dir_.path(); }
  std::filesystem::path programDir() const { return dir_.path() / "program"; }
  std::filesystem::path engine() const { return programDir() / "AshtintCreator2"; }

  test_support::ProcessResult Run(const std::vector<std::string>& args, const std::string& input = "\n",
                                  const std::vector<std::string>& environment = {},
                                  const test_support::RunOptions& options = {}) const {
    // Tests never reach the real network: unless a test names a server, the online addresses
    // point at a closed port on this machine.
    std::vector<std::string> env = environment;
    for (const char* name : {"ASHTINT_CONFIGS_BASE_URL", "ASHTINT_SITE_URL", "ASHTINT_UPDATE_BASE_URL"}) {
      bool given = false;
      for (const auto& e : environment) given = given || e.rfind(std::string(name) + "=", 0) == 0;
      if (!given) env.push_back(std::string(name) + "=http://127.0.0.1:1/");
    }
    return test_support::RunProcess(engine().string(), args, input, env, options);
  }

  // A client folder that the examination accepts: executables, version, paths, packages.
  std::filesystem::path MakeClient(const std::string& name = "World of Tanks",
                                   const std::vector<std::string>& packages = {"vehicles_level_01.pkg",
                                                                               "01_karelia.pkg"}) const {
    const auto c = dir_.path() / name;
    WriteFile(c / "WorldOfTanks.exe", "MZ");
    WriteFile(c / "win64" / "WorldOfTanks.exe", "MZ");
    WriteFile(c / "version.xml",
              "<version.xml>\n\t<version>\tv.1.24.0.1 #1234\t</version>\n\t<meta>\n\t\t<realm>\tEU\t</realm>\n"
              "\t</meta>\n</version.xml>\n");
    std::string paths = "<root>\n\t<Paths>\n\t\t<Path cacheSubdirs=\"true\">./res_mods/1.24.0.1</Path>\n"
                        "\t\t<Path mask=\"*.wotmod\" mode=\"recursive\" root=\"res\">./mods/1.24.0.1</Path>\n"
                        "\t\t<Packages>\n";
    for (const auto& p : packages) {
      paths += "\t\t\t<Package type=\"sd,hd\">./res/packages/" + p + "</Package>\n";
      WriteFile(c / "res" / "packages" / p, "PK");
    }
    paths += "\t\t</Packages>\n\t\t<Path>./res</Path>\n\t</Paths>\n</root>\n";
    WriteFile(c / "paths.xml", paths);
    WriteFile(c / "game_info.xml", "<protocol name=\"game_info\" version=\"2.16\" wgc_publisher_id=\"wargaming\">\n"
                                   "</protocol>\n");
    return c;
  }

 private:
  test_support::TempDir dir_;
};

}  // namespace e2e
