#pragma once
// "Customize Search Sites": edits SEARCH.CFG as a two-column grid of site names and search
// addresses. OK writes the rows that have a name; Cancel and Esc write nothing.

#include <QDialog>
#include <vector>

#include "search/UnitSearchSites.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TSearchSitesBox : public QDialog {
  Q_OBJECT

 public:
  explicit TSearchSitesBox(QWidget* parent = nullptr);

  std::vector<TSearchSiteRow> Rows() const;
  int CurrentRow() const;

 private:
  void FormCreate();
  void FillGrid(const std::vector<TSearchSiteRow>& rows);
  void SetRow(int row, const TSearchSiteRow& site);
  TSearchSiteRow RowAt(int row) const;
  void MoveCurrentRow(int by);
  void Button1Click();
  void Button2Click();
  void cmdOKClick();

  QLabel* Label1 = nullptr;
  QTableWidget* ValueListEditor1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QPushButton* Button4 = nullptr;
  QPushButton* cmdOK = nullptr;
  QPushButton* cmdCancel = nullptr;
};
