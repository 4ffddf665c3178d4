#pragma once
// The column dialog: moves info types between the available and the displayed list and orders
// the displayed ones. It works on copies; the caller reads them back after OK.

#include <QDialog>

#include "core/UnitGlobals.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class TfrmMP3InfosConfig : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmMP3InfosConfig(QWidget* owner);

  // Empties both lists and fills them from code=caption lines.
  void Fill(const TStringList& used, const TStringList& unused);
  // The lists as code=caption lines, in their shown order.
  void ReadBack(TStringList& used, TStringList& unused) const;

  void cmdAddClick();
  void cmdRemoveClick();
  void cmdAddAllClick();
  void cmdRemoveAllClick();
  void cmdMoveUpClick();
  void cmdMoveDownClick();
  void cmdLoadConfigurationClick();
  void cmdSaveConfigurationClick();
  void cmdHelpClick();

 private:
  QTreeWidget* CreateInfoList(const QString& name);
  QPushButton* CreateButton(const QString& name, const QString& caption);
  void MoveSelected(QTreeWidget* from, QTreeWidget* to);
  void SwapWithNeighbour(int offset);
  void UpdateButtons();

  QLabel* Label1;
  QLabel* Label2;
  QTreeWidget* lvInfosNOTUSed;
  QTreeWidget* lvInfosUsed;
  QPushButton* cmdAdd;
  QPushButton* cmdRemove;
  QPushButton* cmdAddAll;
  QPushButton* cmdRemoveAll;
  QPushButton* cmdMoveUp;
  QPushButton* cmdMoveDown;
  QPushButton* cmdLoadConfiguration;
  QPushButton* cmdSaveConfiguration;
  QPushButton* cmdOK;
  QPushButton* cmdCancel;
  QPushButton* cmdHelp;
};
