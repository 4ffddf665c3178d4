// The main window's file actions: Delete and Destroy with their log, Copy and Move.

#include <QFileInfo>
#include <QPushButton>
#include <ctime>
#include <unistd.h>

#include "actions/FormDestroyLog.h"
#include "actions/FormDestroyProgress.h"
#include "actions/UnitDestroyLog.h"
#include "app/ByteString.h"
#include "app/FormMain.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "shell/TShellFileOperation.h"

namespace {

std::vector<std::string> CheckedPaths() {
  std::vector<std::string> paths;
  for (const TFoundFile& file : FoundFileList) {
    if (file.Checked == 1) paths.push_back(file.Path);
  }
  return paths;
}

QString DeleteQuestion(int tag, int count) {
  if (tag == 0)
    return QStringLiteral("You have selected %1 file(s) to delete. Are you sure you want to delete them?").arg(count);
  return QStringLiteral(
             "You have selected %1 file(s) to destroy. Are you sure you want to destroy them?\r\n\r\nWARNING: "
             "Destroyed files cannot be recovered. Please make sure you have only selected the files you really "
             "want to remove.")
      .arg(count);
}

}  // namespace

void TfrmMain::cmdDeleteClick(int tag) {
  const int count = CountCheckedFiles();
  if (count == 0) return;
  DestroyLog.clear();
  DestroyLog.push_back(DestroyLogHeader(std::time(nullptr), localeFormat_));
  if (!ConfirmAction(this, DeleteQuestion(tag, count))) return;
  ClosePlayer();

  for (const std::string& path : CheckedPaths()) {
    if (tag == 1) {
      TfrmDestroyProgress progress(this);
      progress.SetFileName(path);
      progress.exec();
      continue;
    }
    const bool deleted = ::unlink(path.c_str()) == 0;
    DestroyLog.push_back(DeletedLine(path, deleted));
    if (!deleted) {
      ShowFailure(this, QStringLiteral("Unable to delete\r\n\r\n%1\r\n\r\nPlease make sure the file is not opened by "
                                       "another program (such as an MP3 player) and retry. For more security, use "
                                       "the Destroy feature.")
                            .arg(PathToQString(path)));
    }
  }

  {
    TfrmDestroyLog log(this);
    log.SetLog(DestroyLog);
    log.exec();
  }
  cmdViewRefreshClick();
}

void TfrmMain::cmdCopyClick(int tag) {
  const QPushButton* pressed = tag == 0 ? cmdCopy : cmdMove;
  const QString verb = pressed->text().left(4).toLower();
  TFileDialogRequest request;
  request.Kind = TFileDialogRequest::TKind::Folder;
  request.Caption = QStringLiteral("Please select the folder where you want to %1 the selected file(s):").arg(verb);
  request.Directory = PathToQString(CurrentScanPath);
  const QString chosen = RunFileDialog(this, request);
  // Cancelled, or a place that is not a folder of the file system: nothing happens.
  if (chosen.isEmpty() || !QFileInfo(chosen).isDir()) return;

  {
    TShellFileOperation operation(this);
    operation.Run(tag == 0 ? TFileOperationKind::Copy : TFileOperationKind::Move, CheckedPaths(),
                  QStringToPath(QFileInfo(chosen).absoluteFilePath()));
  }
  cmdViewRefreshClick();
}
