// The update check shared by both programs: a background thread asks the update server for the
// latest build and its change list; the owner's thread shows the result. A result that comes
// after its owner is gone is dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ashtint {

// How the owner talks to the user. Every call runs on the owner's thread.
struct TWebUpdateUi {
  std::function<void(const std::string& caption, const std::string& text)> Inform;
  std::function<bool(const std::string& caption, const std::string& text)> Ask;  // true: Yes
  std::function<bool(const std::string& url)> OpenUrl;
  // Without waiting: runs a call on the owner's thread later (the front end's event loop).
  std::function<void(std::function<void()>)> Post;
  // Without waiting: the user accepted a download, so the program closes for the installer.
  std::function<void()> CloseMainForm;
};

class TWebUpdate {
 public:
  // With wait, the check runs before the constructor returns: at most waitMs (10 s) of waiting,
  // the owner's questions answered meanwhile. Without wait, the check starts on its thread and
  // its result arrives through ui.Post.
  TWebUpdate(std::string currentBuild, bool wait, bool showResult, std::string caption, std::int16_t language,
             std::string infoFileEn, std::string infoFileRu, std::string versionFile, std::string baseUrl,
             TWebUpdateUi ui, int waitMs = 10000);
  // Forgets a running check without waiting for it; its result is dropped.
  ~TWebUpdate();
  TWebUpdate(const TWebUpdate&) = delete;
  TWebUpdate& operator=(const TWebUpdate&) = delete;

  // The user chose to download the new version (the engine then ends at once).
  bool DownloadAccepted() const;

  struct TState;

 private:
  std::shared_ptr<TState> state_;
};

// The three texts a check may show, in English (language other than 0) or Russian (0).
std::string NewVersionText(std::int16_t language, const std::string& versionText, const std::string& changes,
                           bool withDownload);
std::string UpToDateText(std::int16_t language);
std::string ServerErrorText(std::int16_t language);

}  // namespace ashtint
