// The frame every package worker shares: one thread over one game package, with its own archive
// object, three attempts per package, log lines collected in the thread and delivered once on
// release, and every write into the output folder run on the stage's thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <thread>

#include "archive/seven_zip_in_archive.h"
#include "common/arrays.h"
#include "common/exceptions.h"
#include "common/log_proc.h"
#include "config/cfg_file.h"
#include "common/main_thread_queue.h"
#include "mods/package_content.h"

namespace ashtint {

// The archive library every worker opens its package with; set once before any worker starts.
void SetArchiveLibraryPath(const std::string& path);
const std::string& ArchiveLibraryPath();

// Pause before a second and third attempt (3000 ms; tests shorten it).
void SetRetryPauseMs(int ms);
int RetryPauseMs();

// An item path that would leave the output folder.
class EItemPathError : public Exception {
 public:
  using Exception::Exception;
  const char* ClassName() const noexcept override { return "EItemPathError"; }
};

// outDir + the item path ('\' separators) as a native path. An absolute path, a drive or a ".."
// component raises EItemPathError: nothing from a package is written outside outDir.
std::string OutputPathOf(const std::string& outDir, const std::string& itemPath);

class ThPkgScan {
 public:
  ThPkgScan(std::string pkgFile, TLogProc onLog, std::string outDir, std::string clientDir);
  // Waits for the thread (serving the queue meanwhile), then delivers the collected log lines.
  virtual ~ThPkgScan();
  ThPkgScan(const ThPkgScan&) = delete;
  ThPkgScan& operator=(const ThPkgScan&) = delete;

  // Starts the thread; its main-thread calls go to queue, which the caller serves.
  void Start(TMainThreadQueue& queue);
  bool Started() const { return thread_.joinable(); }
  // True once the thread body has returned; the results may then be read.
  bool Finished() const { return finished_.load(std::memory_order_acquire); }
  // Waits for the thread to end, serving the queue meanwhile. The queue must outlive the thread,
  // so its owner joins every worker before letting it go.
  void Join();

  std::string PkgFile;
  std::string ClientDir;
  std::string OutDir;  // ends with the separator
  std::string ErrorText;
  std::int32_t FilesWritten = 0;
  TLogProc OnLog;
  TStrArray LogLines;
  // Where the output goes when the package is written from memory; none: files below OutDir.
  TPackageContent* Content = nullptr;

 protected:
  // The worker's whole body (the attempt loop of RunAttempts, usually).
  virtual void Execute() = 0;

  // Attempt loop: up to three attempts while ErrorText is set, RetryPauseMs() apart. Each clears
  // ErrorText (and FilesWritten when resetCount), calls BeginAttempt and runs ScanPackage.
  void RunAttempts(bool resetCount, std::uint64_t minSize);
  virtual void BeginAttempt() {}
  // One attempt: opens the package, runs ProcessItem for every file item above minSize (0 = all)
  // until it returns false, closes the package also when an error escapes.
  void ScanPackage(std::uint64_t minSize);
  virtual bool ProcessItem(I7zInArchive& archive, std::uint32_t index) = 0;
  // The report of an error that ended an attempt.
  virtual std::string ErrorReport(const std::exception& e);
  // Ends the attempt loop after this attempt whatever ErrorText holds.
  void StopAttempts() { stopAttempts_ = true; }

  bool HasLog() const { return static_cast<bool>(OnLog); }
  void AddLog(const std::string& text);
  // Runs call on the stage's thread and waits for it.
  void Synchronize(const std::function<void()>& call);
  // "Pkg: ", ["File: ",] "Type: ", "Message: " lines joined by CR LF.
  std::string Report(const std::string& file, const std::string& type, const std::string& message) const;
  // reason: the system's word for why the file could not be written.
  static std::string SaveErrorReport(const std::string& pkg, const std::string& file, const std::string& reason = "");
  std::string SaveFailure;  // why the last save on the stage's thread failed
  // Saves one output file (on the stage's thread): into Content when set, else onto the disk.
  // The bytes may be taken: callers are done with them.
  bool SaveOutput(TBytesArray& bytes, const std::string& fileName);

  I7zInArchivePtr archive_;  // open during an attempt

 private:
  void ThreadBody();

  std::thread thread_;
  TMainThreadQueue* queue_ = nullptr;
  std::atomic<bool> finished_{false};
  bool stopAttempts_ = false;
};

// Scanner of model files: selection rules and the part and folder kinds of an item path.
class ThVisualScan : public ThPkgScan {
 public:
  using ThPkgScan::ThPkgScan;

  // Appends one rule per usable sign (root name + words, lower-cased); minSize 0 keeps MinSize.
  void SetSigns(const ARFiles& roots, std::uint32_t minSize);
  bool Matches(const std::string& lowerPath) const;

  ARSign Signs;
  std::uint32_t MinSize = 0;

 protected:
  void Execute() override;
  void BeginAttempt() override { ItemPath.clear(); }
  std::string ErrorReport(const std::exception& e) override;
  // Whether the item is a model file of a crash folder that the rules select and whose part
  // kind takes; sets ItemPath, PartKind, FolderKind and OutFile.
  bool SelectCrashModel(I7zInArchive& archive, std::uint32_t index, bool (*takesPart)(std::uint8_t));
  void ReadData(I7zInArchive& archive, std::uint32_t index);
  // Saves Data into OutFile on the stage's thread when changed and counts it. A failed save
  // ends the worker: false, with the save report in ErrorText and no further attempt.
  bool WriteData(bool changed);

  TBytesArray Data;
  std::string ItemPath;
  std::string OutFile;
  std::uint8_t PartKind = 0;
  std::uint8_t FolderKind = 0;
  bool Saved = false;
};

// Part kinds: 1 chassis, 2 hull, 3 gun, 4 turret (also "segment"), 0 other; first match wins.
std::uint8_t PartKindOf(const std::string& lowerPath);
// Folder kinds of the folder part: 1 normal, 2 crash, 3 collision, 4 track, 0 other.
std::uint8_t FolderKindOf(const std::string& lowerPath);

enum : std::uint8_t { pkOther = 0, pkChassis = 1, pkHull = 2, pkGun = 3, pkTurret = 4 };
enum : std::uint8_t { fkOther = 0, fkNormal = 1, fkCrash = 2, fkCollision = 3, fkTrack = 4 };

}  // namespace ashtint
