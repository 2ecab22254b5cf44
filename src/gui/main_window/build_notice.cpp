#include "gui/main_window/build_notice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "client/wot_info.h"
#include "gui/engine_runner/build_record.h"
#include "gui/guide_texts.h"
#include "gui/interface_texts.h"
#include "gui/main_window/run_checks.h"

namespace ashtint {

namespace {

QString WithSeparator(const QString& folder) {
  const QString clean = QDir::fromNativeSeparators(folder);
  return clean.endsWith(u'/') ? clean : clean + u'/';
}

// Where a recorded package belongs now: the same place below the current destination as it had
// below the destination it was written to (the engine may use a subfolder of its own).
QString ExpectedPath(const RPackageWritten& package, const QString& builtTo, const QString& destination) {
  const QString folder = WithSeparator(package.Folder);
  const QString base = WithSeparator(builtTo);
  const QString below = folder.startsWith(base) ? folder.mid(base.size()) : QString();
  return QDir::toNativeSeparators(WithSeparator(destination) + below + package.Name);
}

QString PackageCount(int count, int language) {
  TGuideText form = TGuideText::PackageMany;
  if (KnownLanguage(language) == LanguageEnglish) {
    form = count == 1 ? TGuideText::PackageOne : TGuideText::PackageMany;
  } else if (count % 10 == 1 && count % 100 != 11) {
    form = TGuideText::PackageOne;
  } else if (count % 10 >= 2 && count % 10 <= 4 && (count % 100 < 12 || count % 100 > 14)) {
    form = TGuideText::PackageFew;
  }
  return GuideText(form, language).arg(count);
}

QString Megabytes(qint64 bytes, int language) {
  const double mb = static_cast<double>(bytes) / 1048576.0;
  QString number = QString::number(mb, 'f', mb < 10 ? 1 : 0);
  if (KnownLanguage(language) != LanguageEnglish) number.replace(u'.', u',');
  return number + (KnownLanguage(language) == LanguageEnglish ? QStringLiteral(" MB") : QStringLiteral(" МБ"));
}

}  // namespace

RGuiSettings RecordedSettings(const RClientBuild& build, const RGuiSettings& base) {
  RGuiSettings s = base;
  const qsizetype modsPath = build.Arguments.indexOf(QStringLiteral("--mods-path"));
  s.ModsPathEnable = modsPath >= 0 && modsPath + 1 < build.Arguments.size();
  s.ModsPath = s.ModsPathEnable ? build.Arguments.at(modsPath + 1) : QString();
  s.NoWotmod = build.Arguments.contains(QStringLiteral("--without-wotmod"));
  return s;
}

RBuildStatus BuildStatus(const TBuildRecord& record, const RWOTInfo& client) {
  RBuildStatus status;
  const QString folder = QFile::decodeName(QByteArray::fromStdString(client.ClientDir));
  if (folder.isEmpty()) return status;
  const RClientBuild* built = record.LatestBuilt(folder);
  if (built == nullptr) return status;
  status.BuiltVersion = built->Version;
  status.CurrentVersion = QString::fromStdString(client.Version);
  status.BuiltOn = built->Date;
  status.Lesta = client.IsLesta;
  status.PackageExtension = built->PackageExtension;
  const QString destination = DestinationFolder(RecordedSettings(*built, RGuiSettings()), client);
  if (destination.isEmpty()) return status;
  const std::vector<RPackageWritten> packages = built->Packages();
  status.Packages = static_cast<int>(packages.size());
  for (const RPackageWritten& package : packages) {
    status.Bytes += package.Size;
    const QString path = ExpectedPath(package, built->Destination, destination);
    if (!QFileInfo(path).isFile()) status.Missing << path;
  }
  const bool moved = !status.CurrentVersion.isEmpty() && status.CurrentVersion != status.BuiltVersion;
  if (status.Missing.isEmpty())
    status.State = TBuildState::Current;
  else
    status.State = moved ? TBuildState::Updated : TBuildState::Missing;
  if (status.State != TBuildState::Current && record.Dismissed(folder, status.CurrentVersion, built->Date))
    status.State = TBuildState::Dismissed;
  return status;
}

QString BuildStatusText(const RBuildStatus& status, int language) {
  const QString date = status.BuiltOn.date().toString(Qt::ISODate);
  switch (status.State) {
    case TBuildState::Updated: {
      const bool english = KnownLanguage(language) == LanguageEnglish;
      const QString game = !status.Lesta ? QStringLiteral("World of Tanks")
                           : english     ? QStringLiteral("Mir Tankov")
                                         : QStringLiteral("Мир танков");
      return GuideText(TGuideText::BuildUpdated, language).arg(game, status.CurrentVersion, status.BuiltVersion);
    }
    case TBuildState::Missing:
      return GuideText(TGuideText::BuildMissing, language)
          .arg(date, status.BuiltVersion)
          .arg(status.Missing.size())
          .arg(status.Packages);
    case TBuildState::Current:
      return GuideText(TGuideText::BuildCurrent, language)
          .arg(date, status.BuiltVersion, PackageCount(status.Packages, language), Megabytes(status.Bytes, language));
    default:
      return QString();
  }
}

TBuildNotice::TBuildNotice(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("pBuildNotice"));
  lText = new QLabel(this);
  lText->setObjectName(QStringLiteral("lBuildNotice"));
  lText->setWordWrap(true);
  lText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  bRebuild = new QPushButton(this);
  bRebuild->setObjectName(QStringLiteral("bRebuild"));
  bHide = new QPushButton(this);
  bHide->setObjectName(QStringLiteral("bHideNotice"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(bRebuild);
  buttons->addWidget(bHide);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  layout->addWidget(lText);
  layout->addLayout(buttons);
  hide();
}

void TBuildNotice::Show(const RBuildStatus& status, int language) {
  status_ = status;
  const QString text = BuildStatusText(status, language);
  lText->setText(text);
  const bool notice = status.State == TBuildState::Updated || status.State == TBuildState::Missing;
  bRebuild->setText(GuideText(TGuideText::Rebuild, language));
  bHide->setText(GuideText(TGuideText::HideNotice, language));
  bRebuild->setVisible(notice);
  bHide->setVisible(notice);
  // A notice stands out on a pale yellow ground; the summary is a plain line.
  setFrameShape(notice ? QFrame::StyledPanel : QFrame::NoFrame);
  setAutoFillBackground(notice);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, notice ? QColor(255, 244, 200) : QPalette().color(QPalette::Window));
  palette.setColor(QPalette::WindowText, notice ? QColor(60, 40, 0) : QPalette().color(QPalette::WindowText));
  setPalette(palette);
  setVisible(!text.isEmpty());
}

}  // namespace ashtint
