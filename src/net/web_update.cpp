#include "net/web_update.h"

#include <mutex>
#include <thread>
#include <utility>

#include "common/main_thread_queue.h"
#include "common/text.h"
#include "net/internet.h"

namespace ashtint {

struct TWebUpdate::TState {
  std::string CurrentBuild, Caption, InfoFileEn, InfoFileRu, VersionFile, BaseURL;
  std::int16_t Language = 1;
  bool ShowResult = true;
  bool WaitForResult = true;
  TWebUpdateUi Ui;
  TMainThreadQueue Queue;  // the waiting constructor's calls

  std::mutex Mutex;
  bool OwnerAlive = true;
  int Tag = 0;  // 1 once a download was accepted or the wait gave up: nothing more is shown
  bool Accepted = false;
  bool Finished = false;

  bool MayShow() {
    std::lock_guard lock(Mutex);
    return OwnerAlive && Tag == 0;
  }
};

namespace {

using TState = TWebUpdate::TState;

std::string DefaultCaption(const std::string& caption) { return caption.empty() ? "AshtintGui" : caption; }

// Runs a result on the owner's thread: through the waiting constructor's queue, or posted to
// the front end's loop. Dropped there when the owner has gone meanwhile.
void Deliver(const std::shared_ptr<TState>& state, std::function<void(TState&)> show) {
  auto call = [state, show = std::move(show)] {
    if (state->MayShow()) show(*state);
  };
  if (state->WaitForResult) {
    state->Queue.Synchronize(call);
  } else if (state->Ui.Post) {
    state->Ui.Post(call);
  }
}

void ShowNewVersion(TState& s, const std::string& versionText, const std::string& changes, const std::string& url) {
  const std::string caption = DefaultCaption(s.Caption);
  if (versionText.empty() || url.empty()) {
    if (s.Ui.Inform) s.Ui.Inform(caption, NewVersionText(s.Language, versionText, changes, false));
    return;
  }
  if (!s.Ui.Ask || !s.Ui.Ask(caption, NewVersionText(s.Language, versionText, changes, true))) return;
  if (s.Ui.OpenUrl) s.Ui.OpenUrl(url);
  {
    std::lock_guard lock(s.Mutex);
    s.Tag = 1;
    s.Accepted = true;
  }
  if (!s.WaitForResult && s.Ui.CloseMainForm && s.Ui.Post) s.Ui.Post(s.Ui.CloseMainForm);
}

void Check(const std::shared_ptr<TState>& state) {
  RIStringResult version;
  DownloadText(BrowserStringRequest(state->BaseURL + state->VersionFile), version);
  // An error page is no answer: its text would read as "no newer build".
  if (version.Error || version.Empty || version.Body.empty() || !IsHttpSuccess(version.HttpStatus)) {
    Deliver(state, [](TState& s) {
      if (s.ShowResult && s.Ui.Inform) s.Ui.Inform(DefaultCaption(s.Caption), ServerErrorText(s.Language));
    });
    return;
  }
  const TStrArray lines = SplitLines(version.Body);
  auto number = [](const std::string& text) -> long long {
    const std::string t = Trim(text);
    if (t.empty() || t.size() > 18) return 0;
    long long v = 0;
    for (char c : t) {
      if (c < '0' || c > '9') return 0;
      v = v * 10 + (c - '0');
    }
    return v;
  };
  const long long latest = lines.empty() ? 0 : number(lines[0]);
  if (number(state->CurrentBuild) >= latest) {
    Deliver(state, [](TState& s) {
      if (s.ShowResult && s.Ui.Inform) s.Ui.Inform(DefaultCaption(s.Caption), UpToDateText(s.Language));
    });
    return;
  }
  const std::string versionText = lines.size() > 1 ? lines[1] : std::string();
  const std::string path = lines.size() > 2 ? Trim(lines[2]) : std::string();
  const std::string url = path.empty() ? std::string() : state->BaseURL + path;
  RIStringResult info;
  DownloadText(BrowserStringRequest(state->BaseURL + (state->Language == 0 ? state->InfoFileRu : state->InfoFileEn)),
               info);
  const bool infoFound = !info.Error && !info.Empty && IsHttpSuccess(info.HttpStatus);
  const std::string changes = infoFound ? info.Body : std::string();
  Deliver(state, [versionText, changes, url](TState& s) { ShowNewVersion(s, versionText, changes, url); });
}

}  // namespace

TWebUpdate::TWebUpdate(std::string currentBuild, bool wait, bool showResult, std::string caption,
                       std::int16_t language, std::string infoFileEn, std::string infoFileRu, std::string versionFile,
                       std::string baseUrl, TWebUpdateUi ui, int waitMs)
    : state_(std::make_shared<TState>()) {
  TState& s = *state_;
  s.CurrentBuild = std::move(currentBuild);
  s.WaitForResult = wait;
  s.ShowResult = showResult;
  s.Caption = std::move(caption);
  s.Language = language;
  s.InfoFileEn = std::move(infoFileEn);
  s.InfoFileRu = std::move(infoFileRu);
  s.VersionFile = std::move(versionFile);
  s.BaseURL = std::move(baseUrl);
  s.Ui = std::move(ui);

  // The thread keeps the state alive: the owner may go before it ends.
  std::thread([state = state_] {
    Check(state);
    {
      std::lock_guard lock(state->Mutex);
      state->Finished = true;
    }
    state->Queue.NotifyWorkerEnded();
  }).detach();
  if (!wait) return;

  // Time spent answering a question does not count: only the waits between the thread's calls.
  for (int waited = 0; waited < waitMs; waited += 10) {
    const auto seen = s.Queue.Events();
    s.Queue.Serve();
    {
      std::lock_guard lock(s.Mutex);
      if (s.Finished) return;
    }
    s.Queue.WaitForEvent(seen, 10);
  }
  s.Queue.Serve();
  std::lock_guard lock(s.Mutex);
  if (!s.Finished) s.Tag = 1;  // the server never answered in time: nothing is shown later
}

TWebUpdate::~TWebUpdate() {
  std::lock_guard lock(state_->Mutex);
  state_->OwnerAlive = false;
}

bool TWebUpdate::DownloadAccepted() const {
  std::lock_guard lock(state_->Mutex);
  return state_->Accepted;
}

std::string NewVersionText(std::int16_t language, const std::string& versionText, const std::string& changes,
                           bool withDownload) {
  const std::string block = changes.empty() ? std::string() : changes + "\r\n\r\n";
  const bool en = language != 0;
  if (versionText.empty())
    return en ? "A new version of the program has been found. You can download it and see the list of changes on "
                "the official website."
              : "Найдена новая версия программы. Вы можете скачать её и ознакомится со списком изменений на "
                "официальном сайте.";
  if (!withDownload)
    return en ? "Found a new version of the program: " + versionText + ".\r\n\r\n" + block +
                    "You can download the new version and see the list of changes on the official website."
              : "Найдена новая версия программы: " + versionText + ".\r\n\r\n" + block +
                    "Вы можете скачать новую версию и ознакомится со списком изменений на официальном сайте.";
  return en ? "Found a new version of the program: " + versionText + ", start downloading?\r\n\r\n" + block +
                  "You can also manually download the new version of the program and see the list of changes on "
                  "the official website."
            : "Найдена новая версия программы: " + versionText + ", перейти к скачиванию?\r\n\r\n" + block +
                  "Вы также можете скачать новую версию программы самостоятельно и ознакомится со списком "
                  "изменений на официальном сайте.";
}

std::string UpToDateText(std::int16_t language) {
  return language != 0 ? "You are already using the latest version of the program. Update is not required."
                       : "Вы уже используете последнюю версию программы. Обновление не требуется.";
}

std::string ServerErrorText(std::int16_t language) {
  return language != 0
             ? "Server was not found or is not available, please try again later.\r\n\r\nNote: Probably the version "
               "of the program is great outdated or the address of the update server has changed. You can "
               "independently check for a new version on the program website."
             : "Сервер не найден или недоступен, вы можете повторить попытку позже.\r\n\r\nПримечание: Возможно "
               "версия программы сильно устарела или изменился адрес сервера обновлений. Вы можете самостоятельно "
               "проверить наличие новой версии на сайте программы.";
}

}  // namespace ashtint
