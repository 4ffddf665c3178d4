#pragma once
// "File Types": the file type groups of EXTENSIO.CFG with their check boxes. OK writes the file;
// the caller then rebuilds the scan filter (ApplyFileTypes) and rescans.

#include <QDialog>

#include "scan/UnitFileTypes.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TfrmExtensions : public QDialog {
  Q_OBJECT

 public:
  // Fills the list from EXTENSIO.CFG in the program folder; a file that cannot be read is
  // reported and the list starts empty.
  explicit TfrmExtensions(QWidget* owner);

  // The groups as the list holds them now, in list order.
  TFileTypeGroups Groups() const;

  QLabel* Label1 = nullptr;
  QTreeWidget* lvExtensions = nullptr;
  QPushButton* cmdExtensionAdd = nullptr;
  QPushButton* cmdExtensionChange = nullptr;
  QPushButton* cmdExtensionRemove = nullptr;
  QPushButton* cmdSelectAll = nullptr;
  QPushButton* cmdDeselectAll = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
  QPushButton* cmdHelp = nullptr;

 private:
  void FillFromFile();
  void AddRow(const TFileTypeGroup& group);
  static void SetRowTexts(QTreeWidgetItem* item, const std::string& name, const std::string& extensions);
  void UpdateButtons();
  // Add (tag 0) and Change (tag 1) share one handler, as in the list's double-click.
  void cmdExtensionAddClick(int tag);
  void cmdExtensionRemoveClick();
  void SetAllChecked(bool checked);
  void cmdOKClick();
  void cmdHelpClick();
};
