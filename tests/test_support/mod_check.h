// Packages read back with python's zipfile and checked against the generator's manifest by the
// independent checker, for the end-to-end tests of both programs.
#pragma once

#include <string>
#include <vector>

namespace test_support {

// Each returns what went wrong, or the empty text when all is well.
std::string UnpackWotmod(const std::string& package, const std::string& to);
std::string CheckMods(const std::string& manifest, const std::string& client, const std::string& folder,
                      const std::vector<std::string>& args);

}  // namespace test_support
