// A log's line writer, or none (empty) when the run has no log; receivers skip an empty one.
// Kept apart from the log itself so the package workers can take one without the engine.
#pragma once

#include <functional>
#include <string>

namespace ashtint {

using TLogProc = std::function<void(const std::string&)>;

}  // namespace ashtint
