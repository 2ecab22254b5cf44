// The window shown after the engine runs of one click: per mod built, failed (with the engine's
// words) or skipped, the packages written with their folder and size, a button that opens the
// folder and one that shows what the engine wrote.
#pragma once

#include <QDialog>

#include <vector>

#include "gui/engine_runner/build_record.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace ashtint {

class TRunResultWindow : public QDialog {
 public:
  // Shows a build as the record keeps it.
  TRunResultWindow(const RClientBuild& build, int language, QWidget* parent = nullptr);

  QTreeWidget* lvResults = nullptr;
  QLabel* lSummary = nullptr;
  QPushButton* bOpenFolder = nullptr;
  QPushButton* bShowOutput = nullptr;
  QPushButton* bClose = nullptr;

  // The folder the open button opens: the first package's, else the destination.
  const QString& Folder() const { return folder_; }

 private:
  void ShowOutput();

  std::vector<REngineRun> runs_;  // a copy: the runner starts afresh on the next click
  int language_;
  QString folder_;
};

}  // namespace ashtint
