#include "platform/default_client_path.h"

namespace ashtint {

std::string DefaultClientExePath() { return "C:\\Games\\World_of_Tanks\\WorldOfTanks.exe"; }

}  // namespace ashtint
