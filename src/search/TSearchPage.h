#pragma once
// The Search page: proposals made from the selected row, a search through the chosen site
// and the result in an embedded browser with its own private profile, Back, Forward, Stop and
// Refresh, a panel with a hint or "please wait" over the browser, and the loading progress
// for the status bar.

#include <QWidget>

#include "core/UnitGlobals.h"
#include "search/UnitSearchSites.h"

class QActionGroup;
class QComboBox;
class QLabel;
class QMenu;
class QStackedLayout;
class QToolButton;
class TBrowserView;

class TSearchPage : public QWidget {
  Q_OBJECT

 public:
  explicit TSearchPage(QWidget* parent = nullptr);
  ~TSearchPage() override;

  // Reads SEARCH.CFG and rebuilds the site menu; the first site becomes current. Returns the
  // reason when the file could not be read (the menu then offers only "Customize...").
  QString LoadSites();
  // New proposals for the selected row: the column captions and the row's texts.
  void PrepareForRow(const TStringList& captions, const TStringList& values);
  void Go();
  // The browser's loading progress (progress of maximum) as blocks for the status bar.
  void OnProgressChange(int progress, int maximum);

  int CurrentSite() const { return currentSite_; }
  QMenu* SiteMenu() const { return popSearchSites; }
  bool WaitPanelShown() const;
  QString WaitText() const;
  // The browser is created for the first search; until then, or when it cannot be loaded, there
  // is none.
  TBrowserView* Browser() const { return TheWebBrowser; }

 Q_SIGNALS:
  void ProgressCellsChanged(int cells);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* CreateHeader();
  QToolButton* HeaderButton(const char* name, const QString& hint);
  TBrowserView* EnsureBrowser();
  void ShowWaitPanel(const QString& text);
  void NavigateComplete();
  void SiteChosen(int tag);
  void CustomizeClick();
  void toolWebSearchSiteClick();
  void PopSearchSitesPopup();

  TSearchSites sites_;
  int currentSite_ = -1;

  QWidget* panBrowserHeader = nullptr;
  QLabel* Label2 = nullptr;
  QComboBox* cbWhatToSearch = nullptr;
  QToolButton* toolWWWGo = nullptr;
  QToolButton* toolWebBack = nullptr;
  QToolButton* toolWebForward = nullptr;
  QToolButton* toolWebStop = nullptr;
  QToolButton* toolWebRefresh = nullptr;
  QToolButton* toolWebSearchSite = nullptr;
  QMenu* popSearchSites = nullptr;
  QActionGroup* siteGroup_ = nullptr;
  QStackedLayout* browserStack_ = nullptr;
  QWidget* browserArea_ = nullptr;
  QWidget* panWWWNavigatePleaseWait = nullptr;
  QLabel* txtWWWNavigatePleaseWait = nullptr;
  TBrowserView* TheWebBrowser = nullptr;
};
