// Shared by the worker tests: a generated client, a loop that serves the workers' calls until
// they end (as the stage does), and the independent checker of their output.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/module_loader.h"
#include "client/wot_info.h"
#include "common/main_thread_queue.h"
#include "mods/pkg_scan.h"
#include "test_support/run_process.h"
#include "test_support/temp_dir.h"

namespace ashtint {

struct GeneratedClient {
  explicit GeneratedClient(const std::string& profile, const std::vector<std::string>& options = {}) {
    std::vector<std::string> args{std::string(ASHTINT_SOURCE_DIR) + "/tools/gen_client.py", "--profile", profile,
                                  "--out", dir.str()};
    args.insert(args.end(), options.begin(), options.end());
    const auto made = test_support::RunProcess("/usr/bin/python3", args);
    if (made.status != 0) throw std::runtime_error("client generator failed: " + made.err);
    manifest = dir / "manifest.json";
    ReadWOTInfo(dir / "World_of_Tanks_EU", info);
  }

  // Runs the checker of a mod's output folder; status 0 when it agrees with the manifest.
  test_support::ProcessResult Check(const std::string& out, const std::vector<std::string>& options) const {
    std::vector<std::string> args{std::string(ASHTINT_SOURCE_DIR) + "/tests/test_support/check_mods.py",
                                  "--manifest", manifest, "--client", info.ClientDir, "--out", out};
    args.insert(args.end(), options.begin(), options.end());
    return test_support::RunProcess("/usr/bin/python3", args);
  }

  test_support::TempDir dir;
  std::string manifest;
  RWOTInfo info;
};

// A suite whose tests share one small generated client; workers retry quickly.
class GeneratedClientSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    SetArchiveLibraryPath(DefaultSevenZipLibraryPath());
    SetRetryPauseMs(20);
    client_ = new GeneratedClient("small");
  }
  static void TearDownTestSuite() {
    delete client_;
    client_ = nullptr;
  }
  static inline GeneratedClient* client_ = nullptr;
};

// Starts every worker and serves their calls until all have ended, without spinning.
template <class List>
void RunToEnd(List& workers) {
  TMainThreadQueue queue;
  for (auto& w : workers) w->Start(queue);
  for (;;) {
    const auto seen = queue.Events();
    queue.Serve();
    bool all = true;
    for (auto& w : workers) all = all && w->Finished();
    if (all) break;
    queue.WaitForEvent(seen);
  }
  for (auto& w : workers) w->Join();
}

inline int CountFiles(const std::filesystem::path& folder) {
  int n = 0;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    n += it->is_regular_file();
  return n;
}

}  // namespace ashtint
