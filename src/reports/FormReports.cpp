#include "reports/FormReports.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>
#include <ctime>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitDataFolder.h"
#include "core/UnitTextFiles.h"
#include "help/HtmlHelp.h"
#include "id3/ID3Engine.h"
#include "info/FormMP3InfosConfig.h"
#include "info/UnitColumnConfig.h"
#include "reports/FormAddCustom.h"
#include "reports/UnitReports.h"
#include "scan/FormScanning.h"
#include "shell/ShellIcons.h"
#include "shell/TBrowserView.h"
#include "shell/TShellFolderTree.h"

namespace {

// Shortest time between two rounds of event processing while a report is written.
constexpr qint64 EventIntervalMs = 30;
constexpr int LocationRole = Qt::UserRole;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

std::string ItemLocation(const QTreeWidgetItem* item) {
  const QByteArray bytes = item->data(0, LocationRole).toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void PrintError(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", std::string(ApplicationTitle).c_str(), text.c_str());
  std::fflush(stderr);
}

}  // namespace

TfrmReports::TfrmReports(QWidget* owner)
    : QDialog(owner), ID3Engine1(std::make_unique<TID3Engine>()), FFormat(ReadUserLocaleFormat()) {
  setObjectName(QStringLiteral("frmReports"));
  setWindowTitle(QStringLiteral("Reports"));
  setProperty("HelpContext", HelpContextNumber);
  ID3Engine1->SetFullID3TagSeek(false);
  ID3Engine1->SetWriteID3V1(false);

  imgWizard = new QLabel(this);
  imgWizard->setPixmap(QIcon(QStringLiteral(":/icons/reports.svg")).pixmap(96, 96));
  imgWizard->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  imgWizard->setMinimumWidth(120);
  imgWizard->setStyleSheet(QStringLiteral("background: palette(dark); padding-top: 24px;"));

  Notebook1 = new QStackedWidget(this);
  Notebook1->setObjectName(QStringLiteral("Notebook1"));
  Notebook1->addWidget(CreateReportTypePage());
  Notebook1->addWidget(CreateTargetsPage());
  Notebook1->addWidget(CreateOptionsPage());
  Notebook1->addWidget(CreatePreFinishPage());
  Notebook1->addWidget(CreateResultsPage());

  cmdHelp = MakeButton(this, "cmdHelp", QStringLiteral("Help"));
  cmdBack = MakeButton(this, "cmdBack", QStringLiteral("< Back"));
  cmdNext = MakeButton(this, "cmdNext", QStringLiteral("Next >"));
  cmdClose = MakeButton(this, "cmdClose", QStringLiteral("Close"));
  connect(cmdHelp, &QPushButton::clicked, this, [this] { ShowHelpContext(this, HelpContextNumber); });
  connect(cmdBack, &QPushButton::clicked, this, &TfrmReports::cmdBackClick);
  connect(cmdNext, &QPushButton::clicked, this, &TfrmReports::cmdNextClick);
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, [this] { ShowHelpContext(this, HelpContextNumber); });

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdHelp);
  buttons->addStretch(1);
  buttons->addWidget(cmdBack);
  buttons->addWidget(cmdNext);
  buttons->addSpacing(12);
  buttons->addWidget(cmdClose);
  auto* grid = new QGridLayout(this);
  grid->addWidget(imgWizard, 0, 0);
  grid->addWidget(Notebook1, 0, 1);
  grid->addLayout(buttons, 1, 0, 1, 2);
  grid->setColumnStretch(1, 1);
  resize(720, 480);

  txtReportPreFinish->setText(
      ToQString(ApplicationTitle) +
      QStringLiteral(" has enough information to create the raport. Please click the Finish button "
                     "to start generating the report."));
  LoadReportColumns();
  SetPage(pageReportType);
}

TfrmReports::~TfrmReports() = default;

QWidget* TfrmReports::CreateReportTypePage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("pageReportType"));
  cbReportType = new QComboBox(page);
  cbReportType->setObjectName(QStringLiteral("cbReportType"));
  for (const std::string_view name : ReportTypeNames) cbReportType->addItem(ToQString(name));
  cbReportType->setCurrentIndex(DefaultReportType);
  cmdViewSample = MakeButton(page, "cmdViewSample", QStringLiteral("View Sample..."));
  cmdViewSample->hide();
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeLabel(page, QStringLiteral("This wizard can generate, save and print reports "
                                                   "about the MP3 files found on your computer or network.")));
  layout->addSpacing(12);
  layout->addWidget(MakeLabel(page, QStringLiteral("Please select the report type:")));
  layout->addWidget(cbReportType);
  layout->addWidget(cmdViewSample, 0, Qt::AlignLeft);
  layout->addStretch(1);
  return page;
}

QWidget* TfrmReports::CreateTargetsPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("pageTargets"));
  tvTargets = new TShellFolderTree(page);
  tvTargets->setObjectName(QStringLiteral("tvTargets"));
  tvTargets->RootAtDesktop();
  cmdAdd = MakeButton(page, "cmdAdd", QStringLiteral("Add"));
  cmdAddCustom = MakeButton(page, "cmdAddCustom", QStringLiteral("Add Custom..."));
  cmdRemove = MakeButton(page, "cmdRemove", QStringLiteral("Remove"));
  cmdRemoveAll = MakeButton(page, "cmdRemoveAll", QStringLiteral("Remove All"));
  lvSelectedTargets = new QTreeWidget(page);
  lvSelectedTargets->setObjectName(QStringLiteral("lvSelectedTargets"));
  lvSelectedTargets->setHeaderLabels({QStringLiteral("Selected targets")});
  lvSelectedTargets->setRootIsDecorated(false);
  lvSelectedTargets->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvSelectedTargets->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvSelectedTargets->setIconSize(QSize(16, 16));
  cmdAdd->setEnabled(false);

  connect(tvTargets, &TShellFolderTree::SelectionChanged, this,
          [this] { cmdAdd->setEnabled(!tvTargets->SelectedPath().empty()); });
  connect(cmdAdd, &QPushButton::clicked, this, &TfrmReports::cmdAddClick);
  connect(cmdAddCustom, &QPushButton::clicked, this, &TfrmReports::cmdAddCustomClick);
  connect(cmdRemove, &QPushButton::clicked, this, &TfrmReports::cmdRemoveClick);
  connect(cmdRemoveAll, &QPushButton::clicked, this, &TfrmReports::cmdRemoveAllClick);
  connect(lvSelectedTargets, &QTreeWidget::itemSelectionChanged, this, &TfrmReports::UpdateTargetButtons);
  connect(lvSelectedTargets->model(), &QAbstractItemModel::rowsInserted, this, &TfrmReports::UpdateTargetButtons);
  connect(lvSelectedTargets->model(), &QAbstractItemModel::rowsRemoved, this, &TfrmReports::UpdateTargetButtons);

  auto* buttons = new QVBoxLayout;
  for (QPushButton* button : {cmdAdd, cmdAddCustom, cmdRemove, cmdRemoveAll}) buttons->addWidget(button);
  buttons->addStretch(1);
  auto* row = new QHBoxLayout;
  row->addWidget(tvTargets, 1);
  row->addLayout(buttons);
  row->addWidget(lvSelectedTargets, 1);
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(MakeLabel(page, QStringLiteral("Select the drives or folders you want to scan:")));
  layout->addLayout(row, 1);
  return page;
}

QWidget* TfrmReports::CreateOptionsPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("pageOptions"));
  panReportOptionsPageTypeOfInformation = new QWidget(page);
  panReportOptionsPageTypeOfInformation->setObjectName(QStringLiteral("panReportOptionsPageTypeOfInformation"));
  cmdInfoTypes = MakeButton(panReportOptionsPageTypeOfInformation, "cmdInfoTypes",
                            QStringLiteral("Types Of Information..."));
  connect(cmdInfoTypes, &QPushButton::clicked, this, &TfrmReports::cmdInfoTypesClick);
  auto* info = new QVBoxLayout(panReportOptionsPageTypeOfInformation);
  info->setContentsMargins(0, 0, 0, 0);
  info->addWidget(MakeLabel(
      panReportOptionsPageTypeOfInformation,
      QStringLiteral("You may select what kind of information you want to include in the report (for "
                     "example you can only include file name, location and size, or you can include "
                     "full audio details such as song title, artist, album, year, copyright "
                     "information, etc.)")));
  info->addWidget(cmdInfoTypes, 0, Qt::AlignLeft);

  panReportOptionsPageReportHeader = new QWidget(page);
  panReportOptionsPageReportHeader->setObjectName(QStringLiteral("panReportOptionsPageReportHeader"));
  memoReportHeader = new QPlainTextEdit(panReportOptionsPageReportHeader);
  memoReportHeader->setObjectName(QStringLiteral("memoReportHeader"));
  memoReportHeader->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memoReportHeader->setLineWrapMode(QPlainTextEdit::NoWrap);
  auto* header = new QVBoxLayout(panReportOptionsPageReportHeader);
  header->setContentsMargins(0, 0, 0, 0);
  header->addWidget(MakeLabel(panReportOptionsPageReportHeader, QStringLiteral("Please edit the report header:")));
  header->addWidget(memoReportHeader, 1);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(panReportOptionsPageTypeOfInformation);
  layout->addWidget(panReportOptionsPageReportHeader, 1);
  layout->addStretch(0);
  return page;
}

QWidget* TfrmReports::CreatePreFinishPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("pagePreFinish"));
  txtReportPreFinish = MakeLabel(page, QString());
  txtReportPreFinish->setObjectName(QStringLiteral("txtReportPreFinish"));
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(txtReportPreFinish);
  layout->addStretch(1);
  return page;
}

QWidget* TfrmReports::CreateResultsPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("pageResults"));
  txtResultsPageReport = new QLabel(QStringLiteral("Report:"), page);
  txtResultsPageReport->setObjectName(QStringLiteral("txtResultsPageReport"));

  panReportContainerBigParent = new QWidget(page);
  panReportContainerBigParent->setObjectName(QStringLiteral("panReportContainerBigParent"));
  txtPleaseWait = new QLabel(QStringLiteral("Please wait..."), panReportContainerBigParent);
  txtPleaseWait->setAlignment(Qt::AlignCenter);
  panReportContainerBig = new QWidget(panReportContainerBigParent);
  panReportContainerBig->setObjectName(QStringLiteral("panReportContainerBig"));
  // The container lies over the waiting text; hiding it lets the text show through.
  auto* stack = new QGridLayout(panReportContainerBigParent);
  stack->setContentsMargins(0, 0, 0, 0);
  stack->addWidget(txtPleaseWait, 0, 0);
  stack->addWidget(panReportContainerBig, 0, 0);

  cmdRaportOpen = MakeButton(panReportContainerBig, "cmdRaportOpen", QStringLiteral("Open"));
  cmdRaportSave = MakeButton(panReportContainerBig, "cmdRaportSave", QStringLiteral("Save..."));
  cmdRaportPrint = MakeButton(panReportContainerBig, "cmdRaportPrint", QStringLiteral("Print..."));
  connect(cmdRaportOpen, &QPushButton::clicked, this, &TfrmReports::cmdRaportOpenClick);
  connect(cmdRaportSave, &QPushButton::clicked, this, &TfrmReports::cmdRaportSaveClick);
  connect(cmdRaportPrint, &QPushButton::clicked, this, &TfrmReports::cmdRaportPrintClick);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdRaportOpen);
  buttons->addWidget(cmdRaportSave);
  buttons->addWidget(cmdRaportPrint);
  buttons->addStretch(1);
  auto* container = new QVBoxLayout(panReportContainerBig);
  container->setContentsMargins(0, 0, 0, 0);
  container->addStretch(1);  // the browser goes above the buttons when it is made
  container->addLayout(buttons);

  auto* layout = new QVBoxLayout(page);
  layout->addWidget(txtResultsPageReport);
  layout->addWidget(panReportContainerBigParent, 1);
  return page;
}

// ---------------------------------------------------------------------------------------------
// Columns

void TfrmReports::LoadReportColumns() {
  try {
    LoadColumnConfiguration(DataFile(ReportColumnFileName), FUsed, FUnused);
  } catch (const std::exception&) {
    FillDefaultCatalogue(FUsed, FUnused);
  }
}

void TfrmReports::SaveReportColumns() {
  try {
    SaveColumnConfiguration(DataFile(ReportColumnFileName), FUsed, FUnused);
  } catch (const std::exception& error) {
    ShowFailure(this, ToQString(error.what()));
  }
}

void TfrmReports::done(int result) {
  // A close request while a report is being written waits for the report.
  if (FGenerating) return;
  SaveReportColumns();
  QDialog::done(result);
}

void TfrmReports::cmdInfoTypesClick() {
  TfrmMP3InfosConfig dialog(this);
  dialog.Fill(FUsed, FUnused);
  if (dialog.exec() == QDialog::Accepted) dialog.ReadBack(FUsed, FUnused);
}

// ---------------------------------------------------------------------------------------------
// Navigation

int TfrmReports::Page() const { return Notebook1->currentIndex(); }
int TfrmReports::ReportType() const { return cbReportType->currentIndex(); }

void TfrmReports::cmdNextClick() {
  if (Page() < pageResults) SetPage(Page() + 1);
  else SetPage(pageReportType);
}

void TfrmReports::cmdBackClick() {
  if (Page() > pageReportType) SetPage(Page() - 1);
}

void TfrmReports::SetPage(int index) {
  Notebook1->setCurrentIndex(index);
  cmdBack->setEnabled(index >= 1 && index < pageResults);
  switch (index) {
    case pageReportType:
      cmdNext->setText(QStringLiteral("Next >"));
      cmdNext->setEnabled(true);
      break;
    case pageTargets: UpdateTargetButtons(); break;
    case pageOptions:
      BuildReportHeader();
      panReportOptionsPageTypeOfInformation->setVisible(ReportType() != 0);
      panReportOptionsPageReportHeader->setVisible(ReportType() != 3 && ReportType() != 4);
      cmdNext->setText(QStringLiteral("Next >"));
      break;
    case pagePreFinish: cmdNext->setText(QStringLiteral("Finish")); break;
    case pageResults: GenerateReport(); break;
    default: break;
  }
}

// ---------------------------------------------------------------------------------------------
// Targets

std::vector<std::string> TfrmReports::Targets() const {
  std::vector<std::string> targets;
  for (int i = 0; i < lvSelectedTargets->topLevelItemCount(); ++i)
    targets.push_back(ItemLocation(lvSelectedTargets->topLevelItem(i)));
  return targets;
}

void TfrmReports::AppendTarget(const std::string& location) {
  auto* item = new QTreeWidgetItem({PathToQString(location)});
  item->setData(0, LocationRole, QByteArray(location.data(), static_cast<qsizetype>(location.size())));
  item->setIcon(0, LocationIcon(PathToQString(location)));
  lvSelectedTargets->addTopLevelItem(item);
}

void TfrmReports::AddReportTarget(const std::string& location) {
  if (location.empty()) return;
  // File names are case-sensitive here, so only the same bytes are the same location.
  for (const std::string& target : Targets()) {
    if (target == location) return;
  }
  AppendTarget(location);
}

void TfrmReports::UpdateTargetButtons() {
  const bool any = lvSelectedTargets->topLevelItemCount() > 0;
  cmdRemove->setEnabled(!lvSelectedTargets->selectedItems().isEmpty());
  cmdRemoveAll->setEnabled(any);
  // Only the targets page decides about Next; on the others it is always usable.
  if (Page() == pageTargets) cmdNext->setEnabled(any);
}

void TfrmReports::cmdAddClick() {
  if (tvTargets->currentItem() != nullptr) AddReportTarget(tvTargets->SelectedPath());
}

void TfrmReports::cmdAddCustomClick() {
  TfrmAddCustom dialog(this);
  dialog.setWindowTitle(QStringLiteral("Add Custom"));
  dialog.exec();
  AddReportTarget(dialog.ResultPath());
}

void TfrmReports::cmdRemoveClick() {
  const QList<QTreeWidgetItem*> selected = lvSelectedTargets->selectedItems();
  if (!selected.isEmpty()) delete selected.front();
  UpdateTargetButtons();
}

void TfrmReports::cmdRemoveAllClick() {
  lvSelectedTargets->clear();
  UpdateTargetButtons();
}

// ---------------------------------------------------------------------------------------------
// Generation

void TfrmReports::BuildReportHeader() {
  FBuiltHeader = ::BuildReportHeader(Targets(), std::time(nullptr), FFormat);
  memoReportHeader->setPlainText(ToQStringList(FBuiltHeader).join(QLatin1Char('\n')));
  memoReportHeader->document()->setModified(false);
}

TStringList TfrmReports::HeaderLines() const {
  // Untouched, the header keeps the exact bytes of the locations.
  if (!memoReportHeader->document()->isModified()) return FBuiltHeader;
  const QString text = memoReportHeader->toPlainText();
  if (text.isEmpty()) return {};
  return ToStdStrings(text.split(QLatin1Char('\n')));
}

void TfrmReports::LetEventsRun() {
  static QElapsedTimer clock;
  if (!clock.isValid()) clock.start();
  if (clock.elapsed() - FLastEvents < EventIntervalMs) return;
  FLastEvents = clock.elapsed();
  QCoreApplication::processEvents();
}

void TfrmReports::SetGenerating(bool on) {
  FGenerating = on;
  for (QPushButton* button : {cmdBack, cmdNext, cmdClose}) button->setEnabled(!on);
  if (!on) cmdBack->setEnabled(false);  // the results page never goes back
  panReportContainerBig->setVisible(!on);
  txtPleaseWait->setVisible(on);
  panReportContainerBigParent->repaint();
}

void TfrmReports::ScanTargets() {
  FFoundReportFiles.clear();
  for (const std::string& target : Targets()) {
    CurrentScanPath = target;
    TfrmScanning scanning(this);
    scanning.SetFolder(target);
    scanning.SetRecursive(true);
    scanning.SetResultList(&FFoundReportFiles);
    scanning.exec();
    if (ScanCancelRequested) {
      txtResultsPageReport->setText(QStringLiteral("Partial Report (scanning was interrupted):"));
      break;
    }
  }
}

bool TfrmReports::WriteReport() {
  FReportFilePath = DataFile(ReportFileName(ReportType()));
  TReportJob job;
  job.Type = ReportType();
  job.Header = HeaderLines();
  job.Files = &FFoundReportFiles;
  job.Columns = FUsed;
  job.Engine = ID3Engine1.get();
  job.Format = FFormat;
  job.LetEventsRun = [this] { LetEventsRun(); };
  FCopyFailure.clear();
  return WriteReportFile(job, FReportFilePath, FCopyPath, &FCopyFailure);
}

bool TfrmReports::GenerateReport() {
  txtResultsPageReport->setText(QStringLiteral("Report:"));
  SetGenerating(true);
  bool written = false;
  FReportWritten = false;
  try {
    ScanTargets();
    repaint();
    QCoreApplication::processEvents();
    written = WriteReport();
    if (written) ShowReportInBrowser();
  } catch (const std::exception& error) {
    SetGenerating(false);
    cmdNext->setText(QStringLiteral("Finish"));
    ShowFailure(this, ToQString(error.what()));
    return false;
  }
  SetGenerating(false);
  QCoreApplication::processEvents();
  cmdNext->setText(QStringLiteral("New report"));
  FReportWritten = written;
  return written;
}

void TfrmReports::ShowReportInBrowser() {
  // Nobody looks at an unattended report: no browser process is started for it.
  if (Unattended()) return;
  if (FWebReports == nullptr) {
    // When the browser cannot be loaded the user has been told why; the report can still be
    // opened in another program.
    FWebReports = TBrowserView::Create(panReportContainerBig);
    if (FWebReports == nullptr) return;
    FWebReports->setObjectName(QStringLiteral("webReports"));
    auto* layout = qobject_cast<QVBoxLayout*>(panReportContainerBig->layout());
    delete layout->takeAt(0);  // the stretch that held the place
    layout->insertWidget(0, FWebReports, 1);
  }
  FWebReports->Load(QUrl::fromLocalFile(PathToQString(FReportFilePath)));
}

void TfrmReports::cmdRaportOpenClick() {
  if (FReportFilePath.empty()) return;
  QDesktopServices::openUrl(QUrl::fromLocalFile(PathToQString(FReportFilePath)));
}

void TfrmReports::cmdRaportSaveClick() {
  if (FWebReports == nullptr) return;
  const QString suggested = QDir::home().filePath(QFileInfo(PathToQString(FReportFilePath)).fileName());
  const QString target = RunFileDialog(this, {TFileDialogRequest::TKind::Save, QStringLiteral("Save As"),
                                              suggested, QString(), QString()});
  if (target.isEmpty()) return;
  FWebReports->SaveAsSingleHtml(target);
}

void TfrmReports::cmdRaportPrintClick() {
  if (FWebReports == nullptr) return;
  FPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(FPrinter.get(), this);
  if (dialog.exec() != QDialog::Accepted) return;
  FWebReports->Print(FPrinter.get());
}

// ---------------------------------------------------------------------------------------------
// Unattended report

int TfrmReports::RunCommandLineReport(int type, const std::vector<std::string>& locations,
                                      const std::string& outputPath) {
  cbReportType->setCurrentIndex(type);
  for (const std::string& location : locations) AppendTarget(location);
  SetPage(pageOptions);
  // The copy to the output file is made with the report, and put in place right after it.
  FCopyPath = outputPath;
  SetPage(pageResults);
  FCopyPath.clear();
  int status = 0;
  if (FReportWritten) {
    if (!FCopyFailure.empty()) {
      PrintError("the report could not be copied: " + FCopyFailure);
      status = 1;
    }
  } else {
    status = 1;  // the failure has been reported already
  }
  QTimer::singleShot(0, this, &QDialog::reject);
  return status;
}

int TfrmReports::RunUnattendedReport(QWidget* owner, int type, const std::vector<std::string>& locations,
                                     const std::string& outputPath) {
  if (!IsReportType(type)) {
    PrintError("the report type must be 0 to 4 (0 short list, 1 list with details, 2 HTML table, "
               "3 comma delimited, 4 tab delimited)");
    return 2;
  }
  if (outputPath.empty()) {
    PrintError("no output file given: /REPORT type output location...");
    return 2;
  }
  TfrmReports wizard(owner);
  const int status = wizard.RunCommandLineReport(type, locations, outputPath);
  wizard.exec();
  return status;
}
