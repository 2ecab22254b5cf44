#include "gui/client_selection/wot_selection.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <array>
#include <exception>

#include "client/client_search.h"
#include "client/wot_info.h"
#include "gui/guide_texts.h"
#include "gui/interface_texts.h"

namespace ashtint {

namespace {

// clang-format off
constexpr std::array<RTextPair, 9> Texts = {{
    /* 0 window caption */
    {"Поиск клиентов игры", "Finding game clients"},
    /* 1 aRefresh */
    {"Обновить", "Refresh"},
    /* 2 aOK */
    {"ОК", "OK"},
    /* 3 aCancel */
    {"Отмена", "Cancel"},
    /* 4 aPMPathCopy */
    {"Скопировать путь", "Copy path"},
    /* 5 aPMOpenPath */
    {"Открыть папку с игрой", "Open game folder"},
    /* 6 placeholder while searching */
    {"Поиск клиентов игры...", "Searching for game clients..."},
    /* 7 placeholder when nothing was found */
    {"Клиенты игры не найдены", "Game clients not found"},
    /* 8 question on choosing a damaged client */
    {"Этот клиент игры повреждён или в папке с игрой отсутствуют некоторые ключевые файлы. Выбрать этот клиент игры?",
     "This game client is corrupted or there are some key files missing from the game folder. Select this game client?"},
}};
// clang-format on

constexpr int DamagedRole = Qt::UserRole;
enum { ColumnPath, ColumnPublisher, ColumnCT, ColumnVersion };

// The two status images: 0 a usable client (a tick on green), 1 a damaged one ("!" on red).
QIcon StatusIcon(bool damaged) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(damaged ? QColor(200, 30, 30) : QColor(30, 150, 50));
  p.drawEllipse(QRectF(1, 1, 14, 14));
  p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (damaged) {
    p.drawLine(QPointF(8, 4), QPointF(8, 9));
    p.drawPoint(QPointF(8, 12));
  } else {
    QPainterPath tick;
    tick.moveTo(4.5, 8.5);
    tick.lineTo(7, 11);
    tick.lineTo(11.5, 5.5);
    p.setBrush(Qt::NoBrush);
    p.drawPath(tick);
  }
  return QIcon(pixmap);
}

QString LocalText(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

}  // namespace

std::uint8_t ClientSearchSources(bool currentFolder, bool gameCenters, bool systemRegistry) {
  std::uint8_t sources = 0;
  if (currentFolder) sources |= SearchOwnFolder;
  if (gameCenters) sources |= SearchLestaCenter | SearchWargamingCenter;
  if (systemRegistry) sources |= SearchReplayLink | SearchRegistry;
  return sources;
}

QString WOTSelectionText(int row, int language) {
  if (row < 0 || row >= static_cast<int>(Texts.size())) return {};
  const RTextPair& pair = Texts[static_cast<std::size_t>(row)];
  return QString::fromUtf8(KnownLanguage(language) == LanguageEnglish ? pair.English : pair.Russian);
}

TFWOTSelection::TFWOTSelection(QWidget* owner, int language, const QString& preferredPath, bool testClients,
                               bool systemRegistry, bool gameCenters, bool currentFolder)
    : QDialog(owner), language_(KnownLanguage(language)), preferredPath_(preferredPath), testClients_(testClients) {
  sources_ = ClientSearchSources(currentFolder, gameCenters, systemRegistry);
  Search = [](SArray& folders, std::uint8_t sources, bool tests) { return FindWOTClients(folders, sources, tests); };
  AskDamaged = [this](const QString& question) {
    return QMessageBox::warning(this, QStringLiteral("AshtintGui"), question, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::No) == QMessageBox::Yes;
  };

  setWindowTitle(WOTSelectionText(0, language_));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);
  resize(690, 396);

  lvClientsPaths = new QTreeWidget(this);
  lvClientsPaths->setRootIsDecorated(false);
  lvClientsPaths->setItemsExpandable(false);
  lvClientsPaths->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvClientsPaths->setSelectionMode(QAbstractItemView::SingleSelection);
  lvClientsPaths->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvClientsPaths->setAllColumnsShowFocus(true);
  lvClientsPaths->setHeaderLabels({GuideText(TGuideText::ColumnPath, language_),
                                   GuideText(TGuideText::ColumnPublisher, language_), QStringLiteral("CT"),
                                   GuideText(TGuideText::ColumnVersion, language_)});
  lvClientsPaths->header()->setSectionsClickable(false);
  lvClientsPaths->header()->setStretchLastSection(false);
  lvClientsPaths->setColumnWidth(ColumnPath, 370);
  lvClientsPaths->setColumnWidth(ColumnPublisher, 100);
  lvClientsPaths->setColumnWidth(ColumnCT, 50);
  lvClientsPaths->setColumnWidth(ColumnVersion, 130);

  aRefresh = new QAction(WOTSelectionText(1, language_), this);
  aOK = new QAction(WOTSelectionText(2, language_), this);
  aCancel = new QAction(WOTSelectionText(3, language_), this);
  aPMPathCopy = new QAction(WOTSelectionText(4, language_), this);
  aPMPathCopy->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  aPMOpenPath = new QAction(WOTSelectionText(5, language_), this);
  aPMOpenPath->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  for (QAction* a : {aPMPathCopy, aPMOpenPath}) {
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    lvClientsPaths->addAction(a);
  }
  lvClientsPaths->setContextMenuPolicy(Qt::ActionsContextMenu);

  auto button = [this](QAction* action) {
    auto* b = new QPushButton(action->text(), this);
    b->setFixedSize(100, 28);
    connect(b, &QPushButton::clicked, action, &QAction::trigger);
    connect(action, &QAction::changed, b, [b, action] { b->setEnabled(action->isEnabled()); });
    return b;
  };
  bRefresh = button(aRefresh);
  bOK = button(aOK);
  bCancel = button(aCancel);
  bOK->setDefault(true);
  bRefresh->setAutoDefault(false);
  bCancel->setAutoDefault(false);
  auto* bottom = new QHBoxLayout;
  bottom->addWidget(bRefresh);
  bottom->addStretch(1);
  bottom->addWidget(bOK);
  bottom->addWidget(bCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lvClientsPaths, 1);
  layout->addLayout(bottom);

  connect(aRefresh, &QAction::triggered, this, [this] {
    foundCount_ = 0;
    StartSearch();
  });
  connect(aOK, &QAction::triggered, this, &QDialog::accept);
  connect(aCancel, &QAction::triggered, this, &QDialog::reject);
  connect(aPMPathCopy, &QAction::triggered, this, [this] {
    if (QTreeWidgetItem* item = SelectedItem()) QApplication::clipboard()->setText(item->text(ColumnPath));
  });
  connect(aPMOpenPath, &QAction::triggered, this, [this] {
    if (QTreeWidgetItem* item = SelectedItem()) QDesktopServices::openUrl(QUrl::fromLocalFile(item->text(ColumnPath)));
  });
  connect(lvClientsPaths, &QTreeWidget::itemSelectionChanged, this, &TFWOTSelection::UpdateActions);
  connect(lvClientsPaths, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (aOK->isEnabled()) bOK->click();
  });

  tmClientsFinding.setSingleShot(true);
  tmClientsFinding.setInterval(500);
  connect(&tmClientsFinding, &QTimer::timeout, this, &TFWOTSelection::ClientsFinding);
  UpdateActions();
}

void TFWOTSelection::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A window brought back from the taskbar is shown again too; that starts no new search.
  if (!event->spontaneous()) StartSearch();
}

void TFWOTSelection::SetListColor(const QColor& color) {
  QPalette palette = lvClientsPaths->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) palette.setColor(group, QPalette::Text, color);
  lvClientsPaths->setPalette(palette);
}

void TFWOTSelection::StartSearch() {
  lvClientsPaths->clear();
  SetListColor(QColor(128, 128, 128));
  auto* placeholder = new QTreeWidgetItem(lvClientsPaths, {WOTSelectionText(6, language_)});
  placeholder->setFlags(Qt::ItemIsEnabled);  // a message, never a choice
  searching_ = true;
  UpdateActions();
  tmClientsFinding.start();
}

void TFWOTSelection::ClientsFinding() {
  tmClientsFinding.stop();
  SArray folders;
  try {
    Search(folders, sources_, testClients_);
  } catch (const std::exception&) {
    folders.clear();  // a search that failed has found nothing the list could show
  }
  foundCount_ = static_cast<int>(folders.size());
  searching_ = false;
  if (foundCount_ == 0) {
    SetListColor(QColor(0, 0, 128));
    if (QTreeWidgetItem* placeholder = lvClientsPaths->topLevelItem(0))
      placeholder->setText(ColumnPath, WOTSelectionText(7, language_));
    UpdateActions();
    return;
  }

  lvClientsPaths->clear();
  SetListColor(QApplication::palette(lvClientsPaths).color(QPalette::Text));
  static const QIcon usableIcon = StatusIcon(false), damagedIcon = StatusIcon(true);
  for (const std::string& folder : folders) {
    RWOTInfo info;
    ReadWOTInfo(folder, info);
    auto* item = new QTreeWidgetItem(lvClientsPaths, {LocalText(folder)});
    const QString publisher = info.IsLesta ? QStringLiteral("Lesta")
                              : info.IsWargaming ? QStringLiteral("Wargaming")
                                                 : QString();
    item->setData(ColumnPath, DamagedRole, !info.PkgsFound);
    if (info.PkgsFound) {
      item->setIcon(ColumnPath, usableIcon);
      item->setText(ColumnPublisher, publisher);
      item->setText(ColumnCT, info.IsCommonTest ? QStringLiteral("CT") : QString());
      item->setText(ColumnVersion, LocalText(info.Version) + QStringLiteral(" #") + LocalText(info.Build));
    } else {
      item->setIcon(ColumnPath, damagedIcon);
      if (!info.Failed) item->setText(ColumnPublisher, publisher);
    }
  }
  Preselect();
  lvClientsPaths->setFocus();
  UpdateActions();
}

void TFWOTSelection::Preselect() {
  QTreeWidgetItem* chosen = nullptr;
  const int count = lvClientsPaths->topLevelItemCount();
  if (!preferredPath_.isEmpty()) {
    for (int i = 0; i < count && chosen == nullptr; ++i) {
      QTreeWidgetItem* item = lvClientsPaths->topLevelItem(i);
      if (item->text(ColumnPath).contains(preferredPath_, Qt::CaseSensitive)) chosen = item;
    }
  }
  if (chosen == nullptr) {
    chosen = lvClientsPaths->topLevelItem(0);
    if (Damaged(chosen)) {
      for (int i = 1; i < count; ++i) {
        if (!Damaged(lvClientsPaths->topLevelItem(i))) {
          chosen = lvClientsPaths->topLevelItem(i);
          break;
        }
      }
    }
  }
  lvClientsPaths->setCurrentItem(chosen);
  lvClientsPaths->scrollToItem(chosen);
}

bool TFWOTSelection::Damaged(const QTreeWidgetItem* item) {
  return item != nullptr && item->data(ColumnPath, DamagedRole).toBool();
}

QTreeWidgetItem* TFWOTSelection::SelectedItem() const {
  if (searching_ || foundCount_ <= 0) return nullptr;
  const QList<QTreeWidgetItem*> selected = lvClientsPaths->selectedItems();
  return selected.isEmpty() ? nullptr : selected.first();
}

void TFWOTSelection::UpdateActions() {
  aRefresh->setEnabled(!searching_);
  const bool chosen = SelectedItem() != nullptr;
  aOK->setEnabled(chosen);
  aPMPathCopy->setEnabled(chosen);
  aPMOpenPath->setEnabled(chosen);
  aCancel->setEnabled(true);
}

void TFWOTSelection::done(int result) {
  if (result == QDialog::Accepted) {
    QTreeWidgetItem* item = SelectedItem();
    if (item == nullptr) return;  // nothing to return: OK is not possible now
    if (Damaged(item) && !AskDamaged(WOTSelectionText(8, language_))) {
      lvClientsPaths->setFocus();
      return;
    }
    selectedPath_ = item->text(ColumnPath);
  } else {
    selectedPath_.clear();
  }
  QDialog::done(result);
}

}  // namespace ashtint
