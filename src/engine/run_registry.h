// What the engine's runs know of each other, so that no run loses another's work: each run
// claims a run stamp no other run has had, leaves word of itself while it lives, and cleans up
// after runs that ended without doing so themselves (killed, or out of power).
#pragma once

#include <ctime>
#include <set>
#include <string>

#include "common/arrays.h"
#include "platform/run_lock.h"

namespace ashtint {

class TRunRegistry {
 public:
  // folder: the user's private folder for these files; empty leaves every run on its own.
  explicit TRunRegistry(std::string folder);
  ~TRunRegistry();
  TRunRegistry(const TRunRegistry&) = delete;
  TRunRegistry& operator=(const TRunRegistry&) = delete;

  // The "yymmdd.hhnnss" stamp of now, or of the next second no other run has claimed, so two
  // runs never name their packages alike.
  std::string ClaimStamp(std::time_t now);

  // Makes this run known as live, with the temporary folder it may leave (removed by a later
  // run when this one ends without removing it). Temporary files this process names carry the
  // run's tag from here on.
  void Register(const std::string& stamp, const std::string& tempRoot);

  // The stamps and tags of the runs alive now, this one included.
  struct RLive {
    std::set<std::string> Stamps;
    std::set<std::string> Tags;
  };
  RLive LiveRuns() const;

  // Deletes the temporary folders of runs that have ended without removing them; returns them.
  TStrArray RemoveDeadRuns();

 private:
  std::string folder_;
  std::string tempRoot_;
  TRunLock lock_;
};

// Temporary packages below modsFolder (a package name followed by ".~...tmp") that a run which
// no longer lives left behind: their tag is none of liveTags. Links are never followed.
TStrArray FindStaleTempPackages(const std::string& modsFolder, const std::set<std::string>& liveTags);

}  // namespace ashtint
