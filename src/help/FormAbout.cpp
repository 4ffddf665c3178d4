#include "help/FormAbout.h"

#include <QFont>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "help/DesktopLinks.h"
#include "help/HelpResources.h"
#include "help/UnitInternetShortcut.h"

namespace {

// A licence is a few pages; a huge or endless file is not read into the box.
constexpr std::size_t MaxLicenseSize = 4u * 1024u * 1024u;

QString ProductAddress() {
  const std::string url = ReadInternetShortcutUrl(ProgramFile("INFO.URL"));
  return url.empty() ? TfrmAbout::DefaultProductAddress() : ToQString(url);
}

// LICENSE.TXT line by line as it stands; empty when it cannot be read.
QString LicenseText() {
  try {
    const std::vector<std::string> lines = SplitTextLines(ReadWholeFile(ProgramFile("LICENSE.TXT"), MaxLicenseSize));
    QStringList text;
    text.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines) text.append(ToQString(line));
    return text.join(QLatin1Char('\n'));
  } catch (const EFileError&) {
    return {};
  }
}

QLabel* BoldLabel(const QString& text, int pointSizeIncrease, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() + pointSizeIncrease);
  label->setFont(font);
  return label;
}

}  // namespace

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent) {
  EnsureHelpResources();
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("About"));
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  pcAbout = new QTabWidget(this);
  pcAbout->setObjectName(QStringLiteral("pcAbout"));
  pcAbout->addTab(BuildAboutTab(), QStringLiteral("About"));
  pcAbout->addTab(BuildLicenseTab(), QStringLiteral("License Agreement"));

  cmdOK = new QPushButton(QStringLiteral("OK"), this);
  cmdOK->setObjectName(QStringLiteral("cmdOK"));
  cmdOK->setDefault(true);
  cmdOK->setAutoDefault(true);
  connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmdOK);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(pcAbout, 1);
  layout->addLayout(buttons);

  setFixedSize(qMax(460, sizeHint().width()), 360);
  FormCreate();
  cmdOK->setFocus();
}

QString TfrmAbout::DefaultProductAddress() { return QStringLiteral("https://www.corvantis.example/sonarvex"); }

QWidget* TfrmAbout::BuildAboutTab() {
  auto* page = new QWidget(this);
  txtProductName = BoldLabel(ToQString(ApplicationTitle), 6, page);
  txtProductName->setObjectName(QStringLiteral("txtProductName"));
  txtVersion = BoldLabel(QStringLiteral("Version 1.5"), 0, page);
  txtVersion->setObjectName(QStringLiteral("txtVersion"));

  auto* frame = new QFrame(page);
  frame->setFrameShape(QFrame::Box);
  frame->setFrameShadow(QFrame::Sunken);
  imgProduct = new QLabel(frame);
  imgProduct->setObjectName(QStringLiteral("imgProduct"));
  imgProduct->setPixmap(QIcon(QStringLiteral(":/help/sonarvex.svg")).pixmap(96, 96));
  imgProduct->setAlignment(Qt::AlignCenter);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(4, 4, 4, 4);
  frameLayout->addWidget(imgProduct);

  auto* separator = new QFrame(page);
  separator->setFrameShape(QFrame::HLine);
  separator->setFrameShadow(QFrame::Sunken);

  auto* caption = new QLabel(QStringLiteral("Online product information:"), page);
  txtOnlineProductInformationValue = new QLabel(page);
  txtOnlineProductInformationValue->setObjectName(QStringLiteral("txtOnlineProductInformationValue"));
  txtOnlineProductInformationValue->setTextFormat(Qt::RichText);
  txtOnlineProductInformationValue->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                                            Qt::LinksAccessibleByKeyboard);
  txtOnlineProductInformationValue->setCursor(Qt::PointingHandCursor);
  connect(txtOnlineProductInformationValue, &QLabel::linkActivated, this,
          [this] { txtOnlineProductInformationValueClick(); });

  auto* grid = new QGridLayout(page);
  grid->addWidget(txtProductName, 0, 0);
  grid->addWidget(txtVersion, 1, 0);
  grid->addWidget(frame, 0, 1, 3, 1, Qt::AlignRight | Qt::AlignTop);
  grid->setRowStretch(2, 1);
  grid->addWidget(separator, 3, 0, 1, 2);
  grid->addWidget(caption, 4, 0, 1, 2);
  grid->addWidget(txtOnlineProductInformationValue, 5, 0, 1, 2);
  grid->setColumnStretch(0, 1);
  return page;
}

QWidget* TfrmAbout::BuildLicenseTab() {
  auto* page = new QWidget(this);
  memoLicense = new QPlainTextEdit(page);
  memoLicense->setObjectName(QStringLiteral("memoLicense"));
  memoLicense->setReadOnly(true);
  memoLicense->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // Licence texts are usually wrapped at 80 columns; a fixed-pitch font and room for that many
  // keep their lines as written, longer lines still wrap.
  memoLicense->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  const int columns = memoLicense->fontMetrics().horizontalAdvance(QString(80, QLatin1Char('0')));
  const int margins = 2 * (memoLicense->frameWidth() + qRound(memoLicense->document()->documentMargin()));
  memoLicense->setMinimumWidth(columns + margins + memoLicense->verticalScrollBar()->sizeHint().width() + 4);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(memoLicense);
  return page;
}

void TfrmAbout::FormCreate() {
  const QString address = ProductAddress();
  txtOnlineProductInformationValue->setText(QStringLiteral("<a href=\"") + address.toHtmlEscaped() +
                                            QStringLiteral("\" style=\"color:blue;\">") +
                                            address.toHtmlEscaped() + QStringLiteral("</a>"));
  txtOnlineProductInformationValue->setToolTip(address);
  memoLicense->setPlainText(LicenseText());
}

void TfrmAbout::txtOnlineProductInformationValueClick() {
  const std::string url = ReadInternetShortcutUrl(ProgramFile("INFO.URL"));
  if (!IsWebAddress(url)) return;
  const QUrl target(ToQString(url), QUrl::StrictMode);
  if (target.isValid()) OpenExternalUrl(target);
}

void TfrmAbout::reject() { cmdOK->click(); }
