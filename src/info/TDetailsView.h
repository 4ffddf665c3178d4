#pragma once
// The details page's text: bold captions and plain values, read-only, with a pop-up menu to
// select all, copy, and save the page as plain text or RTF.

#include <QString>
#include <QTextEdit>
#include <vector>

#include "info/UnitDetails.h"

class QAction;
class QMenu;

class TDetailsView : public QTextEdit {
  Q_OBJECT

 public:
  explicit TDetailsView(QWidget* parent = nullptr);

  // Replaces the page by these lines and shows it from the top.
  void ShowDetails(const std::vector<TDetailsLine>& lines);
  void ClearDetails();
  const std::vector<TDetailsLine>& Lines() const { return Lines_; }

  QMenu* PopupMenu() const { return popDetailsView; }
  QAction* SelectAllAction() const { return mnuPopDetailsSelectAll; }
  QAction* CopyAction() const { return mnuPopDetailsCopy; }
  QAction* SaveAction() const { return mnuPopDetailsSave; }

  // Sets what the menu offers before it opens (Copy only with a selection).
  void popDetailsViewPopup();
  void mnuPopDetailsSelectAllClick();
  void mnuPopDetailsCopyClick();
  // Asks for a file name and saves the whole page; false when cancelled or not written.
  bool mnuPopDetailsSaveClick();
  // A name ending in ".rtf" (any case) gets RTF, any other plain text with CR LF line ends.
  // A failure is reported in a box and returned as false; an existing file then stays as it was.
  bool SaveToFile(const QString& path);

 private:
  void ShowPopup(const QPoint& pos);

  std::vector<TDetailsLine> Lines_;
  QString LastSaveFolder_;
  QMenu* popDetailsView;
  QAction* mnuPopDetailsSelectAll;
  QAction* mnuPopDetailsCopy;
  QAction* mnuPopDetailsSave;
};
