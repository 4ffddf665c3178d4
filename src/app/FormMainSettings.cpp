// The main window's settings: MAIN.INI placement and view choices, and the Custom list.

#include <QListWidget>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>

#include "app/ByteString.h"
#include "app/FormMain.h"
#include "app/TPaneLimits.h"
#include "app/UiPrompts.h"
#include "app/UnitMainIni.h"
#include "core/UnitGlobals.h"
#include "reports/FormAddCustom.h"
#include "scan/UnitCustomLocations.h"
#include "shell/ShellIcons.h"

namespace {

constexpr int CustomPathRole = Qt::UserRole + 1;

}  // namespace

// ---------------------------------------------------------------------------------------------
// MAIN.INI

void TfrmMain::ApplyWindowSettings() {
  TMainWindowSettings s;
  unreadableKeptFiles_.Load(MainIniFile(), [&s] { s = ReadMainWindowSettings(TIniFile::Load(MainIniFile())); });
  // The stored size is the outer one; the frame's share is what Qt's frame adds to the client.
  const QSize frameExtra = frameGeometry().size() - geometry().size();
  QPoint position = pos();
  if (s.Left) position.setX(*s.Left);
  if (s.Top) position.setY(*s.Top);
  move(position);
  QSize outer = frameGeometry().size();
  if (s.Width) outer.setWidth(*s.Width);
  if (s.Height) outer.setHeight(*s.Height);
  resize(outer - frameExtra);
  if (s.WindowState) {
    switch (*s.WindowState) {
      case TWindowState::Normal: showNormal(); break;
      case TWindowState::Minimized: showMinimized(); break;
      case TWindowState::Maximized: showMaximized(); break;
    }
  }
  mnuViewToolbar->setChecked(s.Toolbar);
  mnuViewToolbarClick();
  mnuViewStatusBar->setChecked(s.StatusBar);
  mnuViewStatusBarClick();
  mnuViewExplorerBar->setChecked(s.ExplorerBar);
  mnuViewExplorerBarClick();
  SetViewStyle(static_cast<TViewStyle>(s.ListViewStyle));
  if (s.ExplorerWidth) SetExplorerWidth(*s.ExplorerWidth);
  if (s.PagesHeight) {
    QList<int> sizes = splitClientBottom->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    splitClientBottom->setSizes({std::max(0, total - *s.PagesHeight), *s.PagesHeight});
  }
  if (s.Subfolders) SetSubfoldersOption(true);
  // Sizes stored by a larger (maximised) window must not squeeze the list out of a smaller one.
  // A window on its way to maximised is checked when its new size arrives.
  if (!s.WindowState || *s.WindowState != TWindowState::Maximized) paneLimits_->Apply();
}

void TfrmMain::SaveWindowSettings() {
  TMainWindowSettings s;
  if (isMaximized()) {
    s.WindowState = TWindowState::Maximized;
  } else if (isMinimized()) {
    s.WindowState = TWindowState::Minimized;
  } else {
    s.WindowState = TWindowState::Normal;
    const QRect outer = frameGeometry();
    s.Left = outer.left();
    s.Top = outer.top();
    s.Width = outer.width();
    s.Height = outer.height();
  }
  s.Toolbar = mnuViewToolbar->isChecked();
  s.StatusBar = mnuViewStatusBar->isChecked();
  s.ExplorerBar = mnuViewExplorerBar->isChecked();
  s.ListViewStyle = static_cast<TListViewStyle>(viewStyle_);
  s.ExplorerWidth = ExplorerWidth();
  s.PagesHeight = panClientBottom->height();
  s.Subfolders = SubfoldersOption();
  SaveMainWindowSettings(MainIniFile(), s);
}

// ---------------------------------------------------------------------------------------------
// The Custom list

std::string TfrmMain::CustomItemPath(const QListWidgetItem* item) {
  if (item == nullptr) return {};
  const QByteArray bytes = item->data(CustomPathRole).toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

void TfrmMain::AddCustomItem(const std::string& path) {
  auto* item = new QListWidgetItem(FolderIcon(), PathToQString(path));
  // The exact bytes stay with the item: a name that is not valid UTF-8 must scan as it is.
  item->setData(CustomPathRole, QByteArray(path.data(), static_cast<qsizetype>(path.size())));
  item->setToolTip(PathToQString(path));
  lvCustomTargets->addItem(item);
}

void TfrmMain::LoadCustomLocations() {
  const QSignalBlocker block(lvCustomTargets);
  lvCustomTargets->clear();
  std::vector<std::string> paths;
  unreadableKeptFiles_.Load(CustomLocationsFile(), [&paths] { paths = ::LoadCustomLocations(CustomLocationsFile()); });
  for (const std::string& path : paths) AddCustomItem(path);
}

void TfrmMain::SaveCustomLocations() {
  std::vector<std::string> paths;
  for (int i = 0; i < lvCustomTargets->count(); ++i) paths.push_back(CustomItemPath(lvCustomTargets->item(i)));
  ::SaveCustomLocations(CustomLocationsFile(), paths);
}

bool TfrmMain::AddAndScanLocation(const std::string& given) {
  std::string path = given;
  if (path.empty()) {
    TfrmAddCustom dialog(this);
    dialog.setWindowTitle(QStringLiteral("Scan"));
    dialog.exec();
    path = dialog.ResultPath();
    if (path.empty()) return false;
  }
  for (int i = 0; i < lvCustomTargets->count(); ++i) {
    QListWidgetItem* item = lvCustomTargets->item(i);
    if (!SameLocation(CustomItemPath(item), path)) continue;
    if (item->isSelected()) {
      ScanFolder(CustomItemPath(item));
    } else {
      lvCustomTargets->setCurrentItem(item);  // selecting it scans it
    }
    return true;
  }
  AddCustomItem(path);
  lvCustomTargets->setCurrentItem(lvCustomTargets->item(lvCustomTargets->count() - 1));
  return true;
}

void TfrmMain::lvCustomTargetsSelectItem() {
  const QList<QListWidgetItem*> selected = lvCustomTargets->selectedItems();
  if (selected.isEmpty()) return;
  ScanFolder(CustomItemPath(selected.first()));
}

void TfrmMain::cmdCustomTargetsRemoveClick() {
  if (!ConfirmAction(this, QStringLiteral("Are you sure you want to remove the selected path from the list of "
                                          "custom scan locations?")))
    return;
  if (QListWidgetItem* current = lvCustomTargets->currentItem(); current != nullptr) {
    const QSignalBlocker block(lvCustomTargets);
    delete current;
  }
  if (QListWidgetItem* current = lvCustomTargets->currentItem(); current != nullptr) {
    lvCustomTargets->clearSelection();
    current->setSelected(true);
  } else {
    pagesLeftChange();
  }
}

void TfrmMain::cmdCustomTargetsRemoveAllClick() {
  if (!ConfirmAction(this, QStringLiteral("Are you sure you want to clear the list of custom scan locations?")))
    return;
  {
    const QSignalBlocker block(lvCustomTargets);
    lvCustomTargets->clear();
  }
  pagesLeftChange();
}

void TfrmMain::cmdFileScanClick() {
  if (AddAndScanLocation({})) ShowCustomTab();
}

void TfrmMain::ShowCustomTab() {
  // Showing the tab here is not a user's tab change: the location was scanned already.
  const QSignalBlocker block(pagesLeft);
  pagesLeft->setCurrentIndex(1);
}
