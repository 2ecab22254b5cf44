// The previews of the main window: one tile per mod row, their samples read on a worker thread
// from the chosen client, and the tiles kept in step with the colours and the visibility.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "gui/gui_settings.h"
#include "gui/preview/preview_tile.h"
#include "gui/settings.h"

namespace ashtint {

class TInterfaceLanguage;

// The colour slots, then the camouflage.
inline constexpr int PreviewCAMO = ColorSlotCount;
inline constexpr int PreviewCount = ColorSlotCount + 1;

class TModPreviews : public QObject {
 public:
  TModPreviews(TInterfaceLanguage& language, QWidget* parent);
  // Stops the reading and waits for it.
  ~TModPreviews() override;

  // The tile of a colour slot or of PreviewCAMO, made on the first call.
  TPreviewTile* Tile(int slot);
  // Brings every tile in line with the settings; a new client starts a new reading, and the
  // reading of the previous one stops.
  void Follow(const RGuiSettings& settings);

  // The sample of a kind as the tiles know it (null while reading).
  RSamplePtr Sample(TSampleKind kind) const { return samples_[kind]; }
  // True until every kind of the current client is decided.
  bool Reading() const;

 private:
  void StartReading(const RGuiSettings& settings);
  void Delivered(unsigned generation, TSampleKind kind, RSamplePtr sample);
  void Show();

  TInterfaceLanguage& language_;
  QWidget* parent_;
  std::array<TPreviewTile*, PreviewCount> tiles_{};
  std::array<RSamplePtr, SampleKindCount> samples_{};
  RGuiSettings settings_;
  bool followed_ = false;
  QString client_;
  unsigned generation_ = 0;
  std::shared_ptr<std::atomic<bool>> stop_;
  // Readings of earlier clients end on their own once told to stop; they are joined at the end.
  std::vector<std::thread> readers_;
};

// Where the previews look for the configuration files, in the order the first one holding a
// file wins: the window's configuration folder when it is used, the engine's folder, the
// user's copies of an installed engine, the installed ones.
std::vector<std::string> PreviewConfigFolders(const RGuiSettings& settings);

}  // namespace ashtint
