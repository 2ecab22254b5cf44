#include "test_support/mod_check.h"

#include "test_support/run_process.h"

namespace test_support {

namespace {

const std::string kPython = "/usr/bin/python3";
const std::string kSupport = std::string(ASHTINT_SOURCE_DIR) + "/tests/test_support/";

std::string Failure(const ProcessResult& r, const std::string& what) {
  return r.status == 0 ? std::string() : what + ":\n" + r.out + r.err;
}

}  // namespace

std::string UnpackWotmod(const std::string& package, const std::string& to) {
  return Failure(RunProcess(kPython, {kSupport + "unpack_wotmod.py", package, to}), package);
}

std::string CheckMods(const std::string& manifest, const std::string& client, const std::string& folder,
                      const std::vector<std::string>& args) {
  std::vector<std::string> all{kSupport + "check_mods.py", "--manifest", manifest, "--client", client, "--out", folder};
  all.insert(all.end(), args.begin(), args.end());
  return Failure(RunProcess(kPython, all), folder);
}

}  // namespace test_support
