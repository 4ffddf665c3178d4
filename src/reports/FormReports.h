#pragma once
// The report wizard: report type, locations, columns and header, confirmation, and the result
// in an embedded browser from where it can be opened, saved or printed. The unattended report
// drives the same window through RunCommandLineReport.

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "core/UnitGlobals.h"
#include "info/UnitFileFormat.h"

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPrinter;
class QPushButton;
class QStackedWidget;
class QTreeWidget;
class TBrowserView;
class TID3Engine;
class TShellFolderTree;

class TfrmReports : public QDialog {
  Q_OBJECT

 public:
  enum TPage : int { pageReportType = 0, pageTargets, pageOptions, pagePreFinish, pageResults };
  static constexpr int HelpContextNumber = 2070;

  explicit TfrmReports(QWidget* owner);
  ~TfrmReports() override;

  // Appends a location unless it is empty or already listed (same bytes).
  void AddReportTarget(const std::string& location);
  void UpdateTargetButtons();
  // The header lines into memoReportHeader, dropping earlier edits.
  void BuildReportHeader();
  // Scans every target, writes the report and shows it. False when no report file was written.
  bool GenerateReport();
  // The unattended report: type, locations (no duplicate check), header, generation, the copy
  // to outputPath; then a close request is posted to the window. Failures are reported through
  // the message seam (standard error in an unattended run). Returns the process exit status:
  // 0, or 1 when the report or its copy could not be written.
  int RunCommandLineReport(int type, const std::vector<std::string>& locations,
                           const std::string& outputPath);

  // The whole unattended run of the "/REPORT" command line, from creating the wizard to
  // disposing of it. A type outside 0 to 4 or a missing output path is a usage error (status
  // 2) and runs nothing.
  static int RunUnattendedReport(QWidget* owner, int type, const std::vector<std::string>& locations,
                                 const std::string& outputPath);

  void SetPage(int index);
  int Page() const;
  int ReportType() const;
  std::vector<std::string> Targets() const;
  const TFoundFileList& FoundReportFiles() const { return FFoundReportFiles; }
  const std::string& ReportFilePath() const { return FReportFilePath; }
  const TStringList& ReportUsedInfoTypes() const { return FUsed; }
  const TStringList& ReportUnusedInfoTypes() const { return FUnused; }
  TBrowserView* webReports() const { return FWebReports; }

  QLabel* imgWizard = nullptr;
  QStackedWidget* Notebook1 = nullptr;
  QPushButton* cmdHelp = nullptr;
  QPushButton* cmdBack = nullptr;
  QPushButton* cmdNext = nullptr;
  QPushButton* cmdClose = nullptr;
  // Page 0
  QComboBox* cbReportType = nullptr;
  QPushButton* cmdViewSample = nullptr;
  // Page 1
  TShellFolderTree* tvTargets = nullptr;
  QPushButton* cmdAdd = nullptr;
  QPushButton* cmdAddCustom = nullptr;
  QPushButton* cmdRemove = nullptr;
  QPushButton* cmdRemoveAll = nullptr;
  QTreeWidget* lvSelectedTargets = nullptr;
  // Page 2
  QWidget* panReportOptionsPageTypeOfInformation = nullptr;
  QPushButton* cmdInfoTypes = nullptr;
  QWidget* panReportOptionsPageReportHeader = nullptr;
  QPlainTextEdit* memoReportHeader = nullptr;
  // Page 3
  QLabel* txtReportPreFinish = nullptr;
  // Page 4
  QLabel* txtResultsPageReport = nullptr;
  QWidget* panReportContainerBigParent = nullptr;
  QLabel* txtPleaseWait = nullptr;
  QWidget* panReportContainerBig = nullptr;
  QPushButton* cmdRaportOpen = nullptr;
  QPushButton* cmdRaportSave = nullptr;
  QPushButton* cmdRaportPrint = nullptr;

  void cmdNextClick();
  void cmdBackClick();
  void cmdAddClick();
  void cmdAddCustomClick();
  void cmdRemoveClick();
  void cmdRemoveAllClick();
  void cmdInfoTypesClick();
  void cmdRaportOpenClick();
  void cmdRaportSaveClick();
  void cmdRaportPrintClick();

 public Q_SLOTS:
  void done(int result) override;

 private:
  QWidget* CreateReportTypePage();
  QWidget* CreateTargetsPage();
  QWidget* CreateOptionsPage();
  QWidget* CreatePreFinishPage();
  QWidget* CreateResultsPage();
  void LoadReportColumns();
  void SaveReportColumns();
  void AppendTarget(const std::string& location);
  void ScanTargets();
  TStringList HeaderLines() const;
  bool WriteReport();
  void ShowReportInBrowser();
  void SetGenerating(bool on);
  void LetEventsRun();

  TFoundFileList FFoundReportFiles;
  std::string FReportFilePath;
  // An unattended run's output file, written with the report, and what kept it from being made.
  std::string FCopyPath;
  std::string FCopyFailure;
  TStringList FUsed;
  TStringList FUnused;
  TStringList FBuiltHeader;  // the bytes behind the memo, until the user edits it
  std::unique_ptr<TID3Engine> ID3Engine1;
  TLocaleFormat FFormat;
  TBrowserView* FWebReports = nullptr;  // made when first needed: it starts a browser process
  std::unique_ptr<QPrinter> FPrinter;
  bool FGenerating = false;
  bool FReportWritten = false;
  qint64 FLastEvents = 0;
};
