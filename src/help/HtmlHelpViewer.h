#pragma once
// The program's help window: the table of contents on the left, the topic on the right, with
// back and forward through the topics seen. One window serves every help request; it is not
// modal, so the user can keep it open beside the window the help is about.

#include <QPointer>
#include <QUrl>
#include <QWidget>

class QAction;
class QHelpEngine;
class QModelIndex;
class QTextBrowser;
class QTreeView;
class THelpBrowser;

class HtmlHelpViewer : public QWidget {
  Q_OBJECT

 public:
  explicit HtmlHelpViewer(QHelpEngine* engine, QWidget* parent = nullptr);

  // Shows the window (raised and active) at the topic.
  void ShowTopic(const QUrl& topic);
  // Shows the window at the contents page.
  void ShowContents();
  QUrl CurrentTopic() const;
  // The start page of the collection: the contents of the whole help.
  QUrl ContentsPage() const;
  // A modal window blocks every window but its own children, so help asked for from one
  // becomes that window's child while it runs, and a window of its own again when it closes.
  void FollowOwner(QWidget* owner);

  QTextBrowser* Browser() const;
  QTreeView* ContentsTree() const;
  QAction* BackAction() const { return cmdBack_; }
  QAction* ForwardAction() const { return cmdForward_; }
  QAction* ContentsAction() const { return cmdContents_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Reparent(QWidget* host);
  void BuildToolBar();
  void tvContentsActivated(const QModelIndex& index);
  void BrowserSourceChanged(const QUrl& topic);
  void SelectInContents(const QUrl& topic);
  QModelIndex FindInContents(const QModelIndex& parent, const QUrl& topic) const;
  void ContentsCreated();
  void BringToFront();
  void PlaceNearAsker();

  QHelpEngine* engine_;
  THelpBrowser* browser_ = nullptr;
  QTreeView* tvContents_ = nullptr;
  QAction* cmdBack_ = nullptr;
  QAction* cmdForward_ = nullptr;
  QAction* cmdContents_ = nullptr;
  QPointer<QWidget> asker_;  // the window the last request came from
  bool placed_ = false;      // shown once: the user's placement is kept from then on
};
