#include "info/TDetailsView.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QMenu>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <exception>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitTextFiles.h"

namespace {

QAction* AddMenuItem(QMenu* menu, const QString& name, const QString& caption,
                     const QString& hint) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  action->setStatusTip(hint);
  return action;
}

}  // namespace

TDetailsView::TDetailsView(QWidget* parent)
    : QTextEdit(parent),
      LastSaveFolder_(QDir::homePath()),
      popDetailsView(new QMenu(this)) {
  setObjectName(QStringLiteral("rtfMP3Details"));
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QTextEdit::NoWrap);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setAcceptRichText(false);
  QFont face(QStringLiteral("Arial"));
  face.setPixelSize(13);
  setFont(face);
  document()->setDefaultFont(face);

  popDetailsView->setObjectName(QStringLiteral("popDetailsView"));
  mnuPopDetailsSelectAll = AddMenuItem(popDetailsView, QStringLiteral("mnuPopDetailsSelectAll"),
                                       QStringLiteral("Select All"),
                                       QStringLiteral("Selects all details."));
  mnuPopDetailsCopy = AddMenuItem(popDetailsView, QStringLiteral("mnuPopDetailsCopy"),
                                  QStringLiteral("Copy"),
                                  QStringLiteral("Copies the selected details onto the Clipboard."));
  popDetailsView->addSeparator()->setStatusTip(QStringLiteral(" "));
  mnuPopDetailsSave = AddMenuItem(popDetailsView, QStringLiteral("mnuPopDetailsSave"),
                                  QStringLiteral("Save..."),
                                  QStringLiteral("Saves all the details to a file."));
  connect(mnuPopDetailsSelectAll, &QAction::triggered, this,
          &TDetailsView::mnuPopDetailsSelectAllClick);
  connect(mnuPopDetailsCopy, &QAction::triggered, this, &TDetailsView::mnuPopDetailsCopyClick);
  connect(mnuPopDetailsSave, &QAction::triggered, this, &TDetailsView::mnuPopDetailsSaveClick);
  connect(popDetailsView, &QMenu::aboutToShow, this, &TDetailsView::popDetailsViewPopup);

  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &TDetailsView::ShowPopup);
}

void TDetailsView::ShowDetails(const std::vector<TDetailsLine>& lines) {
  Lines_ = lines;
  setUpdatesEnabled(false);
  clear();
  QTextCursor cursor(document());
  QTextCharFormat regular;
  regular.setFontWeight(QFont::Normal);
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  bool first = true;
  for (const auto& line : Lines_) {
    if (!first) cursor.insertBlock();
    first = false;
    for (const auto& run : line) cursor.insertText(ToQString(run.Text), run.Bold ? bold : regular);
  }
  setUpdatesEnabled(true);
  moveCursor(QTextCursor::Start);
  ensureCursorVisible();
}

void TDetailsView::ClearDetails() {
  Lines_.clear();
  clear();
}

void TDetailsView::popDetailsViewPopup() {
  mnuPopDetailsCopy->setEnabled(textCursor().hasSelection());
}

void TDetailsView::ShowPopup(const QPoint& pos) {
  popDetailsView->exec(viewport()->mapToGlobal(pos));
}

void TDetailsView::mnuPopDetailsSelectAllClick() { selectAll(); }

void TDetailsView::mnuPopDetailsCopyClick() {
  if (textCursor().hasSelection()) copy();
}

bool TDetailsView::mnuPopDetailsSaveClick() {
  TFileDialogRequest request;
  request.Kind = TFileDialogRequest::TKind::Save;
  request.Caption = QStringLiteral("Save As");
  request.Directory = LastSaveFolder_;
  request.Filter = QStringLiteral("Text Files (*.TXT);;Rich Text Format (*.RTF)");
  request.DefaultSuffix = QStringLiteral("txt");
  QString filter;
  request.ChosenFilter = &filter;
  const QString chosen = RunFileDialog(this, request);
  if (chosen.isEmpty()) return false;
  // The chosen file type decides the suffix of a name typed without one (the suffix then
  // decides the format), whether or not the dialog added it itself.
  const bool richText = filter.startsWith(QStringLiteral("Rich Text Format"));
  const QString file = PathToQString(DetailsSaveFileName(QStringToPath(chosen), richText));
  LastSaveFolder_ = QFileInfo(file).absolutePath();
  return SaveToFile(file);
}

bool TDetailsView::SaveToFile(const QString& path) {
  const std::string target = QStringToPath(path);
  try {
    WriteFileAtomically(target, IsRtfFileName(target) ? DetailsToRtf(Lines_)
                                                      : DetailsToPlainText(Lines_));
  } catch (const std::exception& error) {
    ShowFailure(this, ToQString(error.what()));
    return false;
  }
  return true;
}
