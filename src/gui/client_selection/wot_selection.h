// The client selection dialog: searches for installed game clients, lists them with publisher,
// test-client mark and version, marks damaged ones, preselects the client in use and returns
// the folder of the client the user picks.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>

#include "common/arrays.h"

class QAction;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace ashtint {

// The dialog's texts, rows 0 to 8, in Russian (0) or English (1).
// The client search's sources as the front end's three search switches choose them.
std::uint8_t ClientSearchSources(bool currentFolder, bool gameCenters, bool systemRegistry);

QString WOTSelectionText(int row, int language);

class TFWOTSelection : public QDialog {
  Q_OBJECT

 public:
  // The search as FindWOTClients does it: folders found for the sources, test clients or not.
  using TSearch = std::function<int(SArray& folders, std::uint8_t sources, bool testClients)>;

  // preferredPath: the folder of the client in use, with its trailing separator.
  TFWOTSelection(QWidget* owner, int language, const QString& preferredPath, bool testClients, bool systemRegistry,
                 bool gameCenters, bool currentFolder);

  // The search run on every showing and refresh; the real one unless replaced.
  TSearch Search;
  // Asks whether to take a damaged client anyway; a Yes/No message box unless replaced.
  std::function<bool(const QString& question)> AskDamaged;

  // The chosen client's folder (ending in a separator); empty unless closed with OK.
  const QString& SelectedPath() const { return selectedPath_; }
  bool Searching() const { return searching_; }
  int FoundCount() const { return foundCount_; }
  std::uint8_t Sources() const { return sources_; }

  QTreeWidget* lvClientsPaths = nullptr;
  QPushButton* bRefresh = nullptr;
  QPushButton* bOK = nullptr;
  QPushButton* bCancel = nullptr;
  QAction* aRefresh = nullptr;
  QAction* aOK = nullptr;
  QAction* aCancel = nullptr;
  QAction* aPMPathCopy = nullptr;
  QAction* aPMOpenPath = nullptr;

 public slots:
  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void StartSearch();
  void ClientsFinding();
  void Preselect();
  void UpdateActions();
  void SetListColor(const QColor& color);
  QTreeWidgetItem* SelectedItem() const;
  static bool Damaged(const QTreeWidgetItem* item);

  int language_;
  QString preferredPath_;
  bool testClients_;
  std::uint8_t sources_ = 0;
  bool searching_ = false;
  int foundCount_ = 0;
  QString selectedPath_;
  QTimer tmClientsFinding;
};

}  // namespace ashtint
