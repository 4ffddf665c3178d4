#include "shell/TShellFileOperation.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"

namespace {

constexpr int BarSteps = 1000;

QString FolderText(const std::string& path) { return QFileInfo(PathToQString(path)).absolutePath(); }
QString NameText(const std::string& path) { return QFileInfo(PathToQString(path)).fileName(); }

QLabel* ElidingLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(QLatin1String(name));
  label->setTextFormat(Qt::PlainText);
  label->setMinimumWidth(420);
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  return label;
}

}  // namespace

TShellFileOperation::TShellFileOperation(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), format_(ReadUserLocaleFormat()) {
  setObjectName(QStringLiteral("frmFileOperation"));
  setWindowModality(Qt::ApplicationModal);
  txtAction = ElidingLabel(this, "txtAction");
  txtFile = ElidingLabel(this, "txtFile");
  txtFromTo = ElidingLabel(this, "txtFromTo");
  pbTotal = new QProgressBar(this);
  pbTotal->setObjectName(QStringLiteral("pbTotal"));
  pbTotal->setRange(0, BarSteps);
  txtBytes = ElidingLabel(this, "txtBytes");
  cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
  cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
  connect(cmdCancel, &QPushButton::clicked, this, &TShellFileOperation::cmdCancelClick);

  auto* layout = new QVBoxLayout(this);
  for (QWidget* w : std::initializer_list<QWidget*>{txtAction, txtFile, txtFromTo, pbTotal, txtBytes}) layout->addWidget(w);
  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(cmdCancel);
  layout->addLayout(row);
  resize(480, sizeHint().height());
}

TFileOperationResult TShellFileOperation::Run(TFileOperationKind kind, const std::vector<std::string>& sources,
                                              const std::string& targetFolder) {
  kind_ = kind;
  const bool copying = kind == TFileOperationKind::Copy;
  setWindowTitle(copying ? QStringLiteral("Copying") : QStringLiteral("Moving"));
  txtAction->setText(QStringLiteral("%1 %2 file(s) to %3")
                         .arg(copying ? QStringLiteral("Copying") : QStringLiteral("Moving"))
                         .arg(sources.size())
                         .arg(PathToQString(targetFolder)));
  cancelRequested_ = false;
  running_ = true;
  show();
  QCoreApplication::processEvents();

  TFileOperationCallbacks callbacks;
  callbacks.Progress = [this](const TFileOperationProgress& p) { return OnProgress(p); };
  callbacks.Conflict = [this](const std::string& s, const std::string& t) { return OnConflict(s, t); };
  callbacks.Error = [this](const std::string& s, const std::string& m) { return OnError(s, m); };
  TFileOperationResult result;
  try {
    result = RunFileOperation(kind, sources, targetFolder, callbacks);
  } catch (...) {
    running_ = false;
    hide();
    throw;
  }
  running_ = false;
  hide();
  return result;
}

bool TShellFileOperation::OnProgress(const TFileOperationProgress& p) {
  txtFile->setText(QStringLiteral("%1 (%2 of %3)").arg(NameText(p.Source)).arg(p.FileIndex + 1).arg(p.FileCount));
  txtFromTo->setText(QStringLiteral("From %1 to %2").arg(FolderText(p.Source), FolderText(p.Target)));
  const double share = p.TotalSize > 0 ? static_cast<double>(p.TotalDone) / static_cast<double>(p.TotalSize) : 0.0;
  pbTotal->setValue(static_cast<int>(share * BarSteps));
  txtBytes->setText(QStringLiteral("%1 of %2").arg(ToQString(FormatFileSize(static_cast<std::int64_t>(p.TotalDone), format_)),
                                                  ToQString(FormatFileSize(static_cast<std::int64_t>(p.TotalSize), format_))));
  QCoreApplication::processEvents();
  return !cancelRequested_;
}

TConflictChoice TShellFileOperation::OnConflict(const std::string& source, const std::string& target) {
  TChoiceRequest request;
  request.Caption = QStringLiteral("Confirm File Replace");
  request.Text = QStringLiteral("This folder already contains a file named \"%1\".\r\n\r\nWould you like to replace "
                                "the existing file\r\n\r\n%2\r\n\r\nwith this one?\r\n\r\n%3")
                     .arg(NameText(target), PathToQString(target), PathToQString(source));
  request.Buttons = {QStringLiteral("Replace"), QStringLiteral("Skip"), QStringLiteral("Replace All"),
                     QStringLiteral("Skip All"), QStringLiteral("Cancel")};
  request.DefaultButton = 1;
  request.EscapeButton = 4;
  static constexpr TConflictChoice Choices[] = {TConflictChoice::Replace, TConflictChoice::Skip,
                                                TConflictChoice::ReplaceAll, TConflictChoice::SkipAll,
                                                TConflictChoice::Cancel};
  const int answer = AskChoice(this, request);
  return answer >= 0 && answer < 5 ? Choices[answer] : TConflictChoice::Cancel;
}

TErrorChoice TShellFileOperation::OnError(const std::string& source, const std::string& message) {
  TChoiceRequest request;
  request.Caption = kind_ == TFileOperationKind::Copy ? QStringLiteral("Error Copying File")
                                                      : QStringLiteral("Error Moving File");
  request.Icon = TMsgIcon::Error;
  request.Text = QStringLiteral("%1 could not be %2.\r\n\r\n%3")
                     .arg(PathToQString(source),
                          kind_ == TFileOperationKind::Copy ? QStringLiteral("copied") : QStringLiteral("moved"),
                          ToQString(message));
  request.Buttons = {QStringLiteral("Retry"), QStringLiteral("Skip"), QStringLiteral("Cancel")};
  request.DefaultButton = 0;
  request.EscapeButton = 2;
  static constexpr TErrorChoice Choices[] = {TErrorChoice::Retry, TErrorChoice::Skip, TErrorChoice::Cancel};
  const int answer = AskChoice(this, request);
  return answer >= 0 && answer < 3 ? Choices[answer] : TErrorChoice::Cancel;
}

void TShellFileOperation::cmdCancelClick() { cancelRequested_ = true; }

void TShellFileOperation::closeEvent(QCloseEvent* event) {
  // Closing the window while files are on their way means Cancel; the service stops at the
  // next chunk and leaves every file whole.
  if (running_) {
    cancelRequested_ = true;
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TShellFileOperation::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    cmdCancelClick();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}
