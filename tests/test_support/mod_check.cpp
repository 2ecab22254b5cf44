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

std::vector<std::string> PackageCheckArgs(const std::string& fileName, const std::string& tankColor,
                                          const std::string& trainColor) {
  const std::string prefix = "mod.AshtintCreator.";
  if (fileName.rfind(prefix, 0) != 0) return {};
  const std::string kind = fileName.substr(prefix.size(), fileName.find('_') - prefix.size());
  std::vector<std::string> args;
  if (kind == "TankCrashTextures")
    args = {"DPT", "--remove-shadows", "--extra", "vehicles/tank_crash.dds", "vehicles/inside_crash.dds"};
  else if (kind == "TrackCrashTextures")
    args = {"CCT", "--extra", "vehicles/track_crash.dds"};
  else if (kind == "TankMapTextures")
    args = {"MEM", "--color", tankColor};
  else if (kind == "TrainMapTextures")
    args = {"CTM", "--color", trainColor};
  else if (kind == "SpaceBinPatched")
    args = {"SpaceBin", "--tank-color", tankColor, "--train-color", trainColor};
  else if (kind == "Camouflages")
    args = {"CAMO", "--visibility", "30", "--ratio", "4"};
  else
    return {};
  args.insert(args.begin(), "--mod");
  args.insert(args.end(), {"--exact", "--package"});
  return args;
}

std::string CheckPackage(const std::string& manifest, const std::string& client, const std::string& package,
                         const std::string& unpackTo, const std::string& tankColor, const std::string& trainColor) {
  const std::string name = package.substr(package.find_last_of('/') + 1);
  const std::vector<std::string> args = PackageCheckArgs(name, tankColor, trainColor);
  if (args.empty()) return name + ": no package of the engine's";
  if (std::string failed = UnpackWotmod(package, unpackTo); !failed.empty()) return failed;
  return CheckMods(manifest, client, unpackTo, args);
}

}  // namespace test_support
