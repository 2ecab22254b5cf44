#include "gui/main_window/about_box.h"

#include <QFile>
#include <QFont>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "common/build_config.h"
#include "gui/interface_language.h"
#include "gui/interface_texts.h"

namespace ashtint {

namespace {

QString Resource(const QString& path) {
  QFile file(path);
  // Built into the program, so a failure is a broken build, not a user's problem.
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll());
}

// The licence's own copyright line, so the box never disagrees with the file.
QString CopyrightLine() {
  for (const QString& line : LicenseText().split(u'\n'))
    if (line.startsWith(QStringLiteral("Copyright"))) return line.trimmed();
  return {};
}

QPlainTextEdit* TextPage(const QString& text, const char* name, QWidget* parent) {
  auto* page = new QPlainTextEdit(parent);
  page->setObjectName(QString::fromLatin1(name));
  page->setReadOnly(true);
  page->setPlainText(text);
  return page;
}

}  // namespace

QString LicenseText() { return Resource(QStringLiteral(":/notices/LICENSE")); }
QString NoticesText() { return Resource(QStringLiteral(":/notices/THIRD-PARTY.md")); }

TFAbout::TFAbout(TInterfaceLanguage& language, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("TFAbout"));
  lProgram = new QLabel(QStringLiteral("Ashtint Creator 2"), this);
  QFont big = lProgram->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.4);
  lProgram->setFont(big);
  lVersion = new QLabel(this);
  lLicense = new QLabel(this);
  pcTexts = new QTabWidget(this);
  mLicense = TextPage(LicenseText(), "mLicense", pcTexts);
  mNotices = TextPage(NoticesText(), "mNotices", pcTexts);
  pcTexts->addTab(mLicense, QString());
  pcTexts->addTab(mNotices, QString());
  bClose = new QPushButton(this);
  bClose->setDefault(true);
  connect(bClose, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(bClose);
  auto* column = new QVBoxLayout(this);
  column->addWidget(lProgram);
  column->addWidget(lVersion);
  column->addWidget(lLicense);
  column->addWidget(pcTexts, 1);
  column->addLayout(buttons);
  // Wide enough for the notices' lines without wrapping in the usual fonts.
  const int columnWidth = mNotices->fontMetrics().averageCharWidth();
  resize(columnWidth * 112, columnWidth * 90);

  language.Bind(this, [this](int lang) {
    setWindowTitle(InterfaceText(80, lang));
    lVersion->setText(FormatText(FormatText(InterfaceText(81, lang), QString::fromLatin1(build::ProgramVersion)),
                                 QString::fromLatin1(build::ProgramBuild)));
    lLicense->setText(InterfaceText(82, lang) + QStringLiteral("\n") + CopyrightLine());
    pcTexts->setTabText(0, InterfaceText(83, lang));
    pcTexts->setTabText(1, InterfaceText(84, lang));
    bClose->setText(InterfaceText(85, lang));
  });
}

}  // namespace ashtint
