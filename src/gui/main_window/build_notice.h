// What the main window says about the mods last built for the chosen client: the game was
// updated and they no longer load (with a rebuild), some of their packages are gone, or a one-line
// summary when they are all in place.
#pragma once

#include <QDateTime>
#include <QFrame>
#include <QString>
#include <QStringList>

#include "gui/gui_settings.h"

class QLabel;
class QPushButton;

namespace ashtint {

class TBuildRecord;
struct RClientBuild;
struct RWOTInfo;

enum class TBuildState {
  None,        // nothing built for this client yet (or no client)
  Current,     // the packages of the latest build are where the game loads them
  Missing,     // same version, but some of its packages are gone
  Updated,     // the client moved to a new version whose mods folder lacks the packages
  Dismissed,   // Missing or Updated, and the player hid the notice
};

struct RBuildStatus {
  TBuildState State = TBuildState::None;
  QString BuiltVersion;
  QString CurrentVersion;
  QDateTime BuiltOn;
  bool Lesta = false;
  int Packages = 0;         // packages of the latest build
  qint64 Bytes = 0;         // their size as written
  QStringList Missing;      // where each missing package should be
  QString PackageExtension;
};

// The settings as a recorded command had them where they decide the destination (its own mods
// folder, loose files), the rest as in base: what the checks of a rebuild look at.
RGuiSettings RecordedSettings(const RClientBuild& build, const RGuiSettings& base);

// Compares the client as it is now with its latest build in the record: are the packages where
// the recorded command would put them for the client's current version?
RBuildStatus BuildStatus(const TBuildRecord& record, const RWOTInfo& client);

// The line the window shows for a status; empty for None and Dismissed.
QString BuildStatusText(const RBuildStatus& status, int language);

// The panel above the run button: the text and, for a notice, Rebuild and Hide.
class TBuildNotice : public QFrame {
 public:
  explicit TBuildNotice(QWidget* parent = nullptr);
  void Show(const RBuildStatus& status, int language);
  const RBuildStatus& Status() const { return status_; }

  QLabel* lText = nullptr;
  QPushButton* bRebuild = nullptr;
  QPushButton* bHide = nullptr;

 private:
  RBuildStatus status_;
};

}  // namespace ashtint
