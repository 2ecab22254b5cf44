#include "platform/default_client_path.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace ashtint {

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  // A service started without HOME still has a home in the user database.
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr)
    return found->pw_dir;
  return {};
}

}  // namespace

std::string DefaultClientExePath() {
  std::string home = HomeFolder();
  if (!home.empty() && home.back() == '/') home.pop_back();
  return home + "/.wine/drive_c/Games/World_of_Tanks/WorldOfTanks.exe";
}

}  // namespace ashtint
