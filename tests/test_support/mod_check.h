// Packages read back with python's zipfile and checked against the generator's manifest by the
// independent checker, for the end-to-end tests of both programs and of the Windows engine.
#pragma once

#include <string>
#include <vector>

namespace test_support {

// Each returns what went wrong, or the empty text when all is well.
std::string UnpackWotmod(const std::string& package, const std::string& to);
std::string CheckMods(const std::string& manifest, const std::string& client, const std::string& folder,
                      const std::vector<std::string>& args);

// The checker's arguments for a package of the engine's, found by its file name
// ("mod.AshtintCreator.<kind>_..."), from a run that paints map tanks in tankColor and trains in
// trainColor ("#RRGGBB"), removes shadows and keeps camouflages at 30 per cent reduced by 4.
// Empty for a file name that is no package of the engine's.
std::vector<std::string> PackageCheckArgs(const std::string& fileName, const std::string& tankColor,
                                          const std::string& trainColor);

// Unpacks a package into unpackTo and checks all of it with the arguments above.
std::string CheckPackage(const std::string& manifest, const std::string& client, const std::string& package,
                         const std::string& unpackTo, const std::string& tankColor, const std::string& trainColor);

}  // namespace test_support
