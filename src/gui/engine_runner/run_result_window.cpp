#include "gui/engine_runner/run_result_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "gui/guide_texts.h"
#include "gui/interface_texts.h"

namespace ashtint {

namespace {

enum { ColumnMod, ColumnOutcome, ColumnDetails };

QString Megabytes(qint64 bytes, int language) {
  const double mb = static_cast<double>(bytes) / 1048576.0;
  QString number = QString::number(mb, 'f', mb < 10 ? 2 : 1);
  if (language != 1) number.replace(u'.', u',');
  return number + (language == 1 ? QStringLiteral(" MB") : QStringLiteral(" МБ"));
}

QColor OutcomeColor(TModOutcome outcome) {
  switch (outcome) {
    case TModOutcome::Built: return QColor(0, 120, 0);
    case TModOutcome::Failed: return QColor(190, 0, 0);
    default: return QColor(110, 110, 110);
  }
}

}  // namespace

TRunResultWindow::TRunResultWindow(const RClientBuild& build, int language, QWidget* parent)
    : QDialog(parent), runs_(build.Runs), language_(language == 1 ? 1 : 0) {
  setWindowTitle(GuideText(TGuideText::ResultTitle, language_));
  setSizeGripEnabled(true);
  resize(820, 380);

  lSummary = new QLabel(this);
  lSummary->setWordWrap(true);
  lSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
  lvResults = new QTreeWidget(this);
  lvResults->setHeaderLabels({GuideText(TGuideText::ResultColumnMod, language_),
                              GuideText(TGuideText::ResultColumnOutcome, language_),
                              GuideText(TGuideText::ResultColumnDetails, language_)});
  lvResults->setSelectionMode(QAbstractItemView::NoSelection);
  lvResults->setWordWrap(true);
  lvResults->header()->setSectionResizeMode(ColumnDetails, QHeaderView::Stretch);
  lvResults->setColumnWidth(ColumnMod, 200);
  lvResults->setColumnWidth(ColumnOutcome, 90);

  bool allBuilt = true;
  for (const REngineRun& run : runs_) {
    for (const RModResult& mod : run.Mods) {
      auto* row = new QTreeWidgetItem(lvResults);
      row->setText(ColumnMod, ModTitle(mod.Mod, language_));
      const TGuideText word = mod.Outcome == TModOutcome::Built    ? TGuideText::OutcomeBuilt
                              : mod.Outcome == TModOutcome::Failed ? TGuideText::OutcomeFailed
                                                                   : TGuideText::OutcomeSkipped;
      row->setText(ColumnOutcome, GuideText(word, language_));
      row->setForeground(ColumnOutcome, OutcomeColor(mod.Outcome));
      QString details = run.Stopped ? GuideText(TGuideText::StoppedByUser, language_) : mod.Reason;
      if (mod.Outcome == TModOutcome::Built && !mod.Packages.empty()) details.clear();
      row->setText(ColumnDetails, details);
      row->setToolTip(ColumnDetails, details);
      allBuilt = allBuilt && mod.Outcome == TModOutcome::Built;
      // Each package under its mod: its size and its name; the folder is in the summary line.
      for (const RPackageWritten& package : mod.Packages) {
        auto* file = new QTreeWidgetItem(row);
        file->setText(ColumnOutcome, package.Folder.isEmpty() ? QString() : Megabytes(package.Size, language_));
        file->setText(ColumnDetails, package.Name);
        file->setToolTip(ColumnDetails, package.Folder + package.Name);
        if (folder_.isEmpty()) folder_ = package.Folder;
      }
      row->setExpanded(true);
    }
    // A run that asked for no mod (the removal before the copies) shows only when it failed.
    if (run.Mods.empty() && (run.StartFailed || run.Crashed || run.ExitCode != 0)) {
      auto* row = new QTreeWidgetItem(lvResults);
      row->setText(ColumnMod, run.Arguments.join(u' ').left(60));
      row->setText(ColumnOutcome, GuideText(TGuideText::OutcomeFailed, language_));
      row->setForeground(ColumnOutcome, OutcomeColor(TModOutcome::Failed));
      row->setText(ColumnDetails, run.Stopped ? GuideText(TGuideText::StoppedByUser, language_) : run.Reason);
      allBuilt = false;
    }
  }
  if (folder_.isEmpty()) folder_ = build.Destination;
  lSummary->setText(allBuilt ? FormatText(GuideText(TGuideText::ResultAllBuilt, language_), folder_)
                             : GuideText(TGuideText::ResultSomeFailed, language_));

  bOpenFolder = new QPushButton(GuideText(TGuideText::OpenFolder, language_), this);
  bOpenFolder->setEnabled(!folder_.isEmpty() && QDir(folder_).exists());
  connect(bOpenFolder, &QPushButton::clicked, this,
          [this] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder_)); });
  bShowOutput = new QPushButton(GuideText(TGuideText::ShowOutput, language_), this);
  connect(bShowOutput, &QPushButton::clicked, this, &TRunResultWindow::ShowOutput);
  bClose = new QPushButton(GuideText(TGuideText::Close, language_), this);
  bClose->setDefault(true);
  connect(bClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(bOpenFolder);
  buttons->addWidget(bShowOutput);
  buttons->addStretch(1);
  buttons->addWidget(bClose);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lSummary);
  layout->addWidget(lvResults, 1);
  layout->addLayout(buttons);
}

void TRunResultWindow::ShowOutput() {
  QDialog view(this);
  view.setWindowTitle(GuideText(TGuideText::ShowOutput, language_));
  auto* text = new QPlainTextEdit(&view);
  text->setReadOnly(true);
  text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  QString all;
  for (const REngineRun& run : runs_) {
    all += QStringLiteral("$ AshtintCreator2 ") + run.Arguments.join(u' ') + u'\n';
    all += run.Output;
    if (!run.Reason.isEmpty()) all += QStringLiteral("\n=> ") + run.Reason;
    all += QStringLiteral("\n\n");
  }
  text->setPlainText(all);
  auto* layout = new QVBoxLayout(&view);
  layout->addWidget(text);
  view.resize(820, 500);
  view.exec();
}

}  // namespace ashtint
