// The Search page against local pages: the site menu built from SEARCH.CFG, searches with the
// query encoded into every placeholder, the search field's rules, new windows kept in the same
// view, the customize dialog, proposals and the progress meter.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <fstream>
#include <memory>

#include "app/ByteString.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "search/FormSearchSites.h"
#include "search/TSearchPage.h"
#include "shell/TBrowserView.h"
#include "shell/TProgramModules.h"
#include "support/TMessageRecorder.h"

namespace {

template <typename T>
T* Child(QObject* parent, const char* name) {
  return parent->findChild<T*>(QLatin1String(name));
}

// The menu's entries joined by "|", a separator as "-".
QString Captions(const QMenu* menu) {
  QStringList captions;
  for (const QAction* a : menu->actions()) captions << (a->isSeparator() ? QStringLiteral("-") : a->text());
  return captions.join(QLatin1Char('|'));
}

}  // namespace

class SearchPageTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TSearchPage> page_;
  std::unique_ptr<TMessageRecorder> boxes_;
  std::string sitesFile_;
  std::string originalSites_;

  std::string Page(const char* name) const { return "file://" + QStringToPath(dir_.path()) + "/" + name; }

  // Waits for the navigation a search started and returns the query the page was given.
  QString SearchedQuery() {
    if (!QTest::qWaitFor([this] { return !page_->WaitPanelShown(); }, 20000)) return QStringLiteral("(timeout)");
    return page_->Browser()->Url().query(QUrl::FullyEncoded);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    SetProgramFolder(QStringToPath(dir_.path()));
    sitesFile_ = ProgramFile(SearchSitesFileName);
    const std::string dir = QStringToPath(dir_.path());
    std::ofstream(dir + "/result.html") << "<html><body>result</body></html>";
    std::ofstream(dir + "/target.html") << "<html><body>target</body></html>";
    std::ofstream(dir + "/opener.html") << "<html><body><script>window.open('target.html');</script></body></html>";
    originalSites_ = "First=" + Page("result.html") + "?first=THISISREPLACEDWITHACTUALTEXT\r\n" +
                     "=skipped line\r\n" +
                     "Third=" + Page("result.html") + "?a=THISISREPLACEDWITHACTUALTEXT&b=THISISREPLACEDWITHACTUALTEXT\r\n" +
                     "Popup=" + Page("opener.html") + "?q=THISISREPLACEDWITHACTUALTEXT\r\n";
    boxes_ = std::make_unique<TMessageRecorder>();
    page_ = std::make_unique<TSearchPage>();
    page_->resize(700, 300);
    page_->show();
  }

  void init() {
    WriteFileAtomically(sitesFile_, originalSites_);
    QCOMPARE(page_->LoadSites(), QString());
    boxes_->Clear();
  }

  void cleanupTestCase() {
    page_.reset();
    boxes_.reset();
  }

  void sitesMenuSearchesAndFollowsTheChosenSite() {
    QMenu* menu = page_->SiteMenu();
    QCOMPARE(Captions(menu), QStringLiteral("First|Third|Popup|-|Customize..."));
    QCOMPARE(menu->actions()[1]->statusTip(), QStringLiteral("Searches the Internet using Third"));
    QCOMPARE(page_->CurrentSite(), 0);
    QVERIFY(page_->Browser() == nullptr);  // created by the first search
    // The buttons got their pictures when the page was first shown.
    for (const char* name : {"toolWebBack", "toolWebForward", "toolWebStop", "toolWebRefresh", "toolWebSearchSite"})
      QVERIFY2(!page_->findChild<QToolButton*>(QLatin1String(name))->icon().isNull(), name);

    // The query goes, encoded, into both placeholders of the chosen site (line 3 of the file).
    auto* field = Child<QComboBox>(page_.get(), "cbWhatToSearch");
    field->setEditText(QStringLiteral("x & y"));
    menu->actions()[1]->trigger();
    QCOMPARE(page_->WaitText(), QStringLiteral("Searching... Please wait"));
    QCOMPARE(SearchedQuery(), QStringLiteral("a=x%20%26%20y&b=x%20%26%20y"));
    QCOMPARE(page_->CurrentSite(), 2);
    Q_EMIT menu->aboutToShow();
    QVERIFY(menu->actions()[1]->isChecked());
    QVERIFY(!menu->actions()[0]->isChecked());

    // Back with nothing to go back to does nothing.
    QVERIFY(!page_->Browser()->CanGoBack());
    Child<QToolButton>(page_.get(), "toolWebBack")->click();
    QTest::qWait(200);
    QCOMPARE(page_->Browser()->Url().query(QUrl::FullyEncoded), QStringLiteral("a=x%20%26%20y&b=x%20%26%20y"));

    // Enter in the field searches (and is consumed): after the first ":" one character goes.
    field->setEditText(QStringLiteral("abc:def"));
    QTest::keyClick(field, Qt::Key_Return);
    QCOMPARE(SearchedQuery(), QStringLiteral("a=ef&b=ef"));
    field->setEditText(QStringLiteral("abc: def"));
    Child<QToolButton>(page_.get(), "toolWWWGo")->click();
    QCOMPARE(SearchedQuery(), QStringLiteral("a=def&b=def"));
    QCOMPARE(field->count(), 0);  // typed texts never become proposals

    // A page that opens a new window gets it in the same view.
    menu->actions()[2]->trigger();
    QVERIFY(QTest::qWaitFor([this] { return page_->Browser()->Url().fileName() == QStringLiteral("target.html"); },
                            20000));
    QVERIFY(boxes_->Requests.isEmpty());
  }

  void customizeCancelledKeepsTheFileAndReturnsToTheFirstSite() {
    page_->SiteMenu()->actions()[1]->trigger();
    QCOMPARE(page_->CurrentSite(), 2);
    QTimer::singleShot(0, this, [] {
      auto* box = qobject_cast<TSearchSitesBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      QCOMPARE(box->windowTitle(), QStringLiteral("Customize Search Sites"));
      Child<QPushButton>(box, "Button1")->click();  // a row that Esc throws away again
      QTest::keyClick(box, Qt::Key_Escape);
    });
    page_->SiteMenu()->actions().last()->trigger();
    QCOMPARE(ReadWholeFile(sitesFile_), originalSites_);
    QCOMPARE(page_->CurrentSite(), 0);
  }

  void customizeOkDropsRowsWithoutName() {
    TSearchSitesBox box;
    QCOMPARE(static_cast<int>(box.Rows().size()), 4);
    const auto rows = box.Rows();
    Child<QPushButton>(&box, "Button3")->click();  // Move Up on the first row
    QCOMPARE(box.Rows(), rows);
    auto* grid = Child<QTableWidget>(&box, "ValueListEditor1");
    grid->setCurrentCell(3, 0);
    Child<QPushButton>(&box, "Button4")->click();  // Mode Down on the last row
    QCOMPARE(box.Rows(), rows);
    Child<QPushButton>(&box, "Button3")->click();
    QCOMPARE(box.CurrentRow(), 2);
    QCOMPARE(box.Rows()[2].Name, std::string("Popup"));
    Child<QPushButton>(&box, "Button1")->click();  // Add, then OK without a name
    QCOMPARE(box.CurrentRow(), 4);
    Child<QPushButton>(&box, "cmdOK")->click();
    QCOMPARE(box.result(), static_cast<int>(QDialog::Accepted));
    const TSearchSites written = LoadSearchSites(sitesFile_);
    QCOMPARE(written.Templates.size(), std::size_t{3});  // the nameless rows are gone
    QCOMPARE(written.Entries[1].Caption, std::string("Popup"));
  }

  void emptyOrMissingSiteFile() {
    WriteFileAtomically(sitesFile_, "");
    QCOMPARE(page_->LoadSites(), QString());
    QCOMPARE(Captions(page_->SiteMenu()), QStringLiteral("-|Customize..."));
    Child<QToolButton>(page_.get(), "toolWWWGo")->click();
    QVERIFY(page_->WaitPanelShown());
    QCOMPARE(page_->WaitText(),
             QStringLiteral("No search site is configured. Use the Search Site button to customize the list."));
    std::remove(sitesFile_.c_str());
    QVERIFY(!page_->LoadSites().isEmpty());
    QCOMPARE(Captions(page_->SiteMenu()), QStringLiteral("-|Customize..."));
  }

  void browserModuleThatCannotBeLoadedIsReported_data() {
    QTest::addColumn<QByteArray>("module");  // what lies where the module belongs; empty: nothing
    QTest::addColumn<QString>("detail");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("libsonarvex-browser.so was not found in ");
    QTest::newRow("damaged") << QByteArray("not a library") << QStringLiteral("libsonarvex-browser.so");
  }

  void browserModuleThatCannotBeLoadedIsReported() {
    QFETCH(QByteArray, module);
    QFETCH(QString, detail);
    QTemporaryDir folder;
    if (!module.isEmpty()) {
      QFile file(folder.filePath(QStringLiteral("libsonarvex-browser.so")));
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write(module);
    }
    SetModuleFolders({folder.path()});
    TSearchPage page;
    QCOMPARE(page.LoadSites(), QString());
    page.Go();
    SetModuleFolders({});
    QVERIFY(page.Browser() == nullptr);
    QVERIFY(page.WaitPanelShown());
    QCOMPARE(page.WaitText(), QStringLiteral("The web browser could not be started."));
    QCOMPARE(boxes_->Requests.size(), 1);
    QCOMPARE(boxes_->Requests[0].Caption, QStringLiteral("Corvantis Sonarvex"));
    const QString text = boxes_->Requests[0].Text;
    QVERIFY2(text.startsWith(QStringLiteral("The web browser could not be started:")) && text.contains(detail),
             qPrintable(text));
  }

  void proposalsAndProgress() {
    auto* field = Child<QComboBox>(page_.get(), "cbWhatToSearch");
    page_->PrepareForRow({"Name", "Title", "Artist"}, {"(not available)", "Song", "Band"});
    QVERIFY(page_->WaitPanelShown());
    QVERIFY(page_->WaitText().startsWith(QStringLiteral("To find information about the selected MP3 file")));
    QCOMPARE(field->count(), 2);
    QCOMPARE(field->currentText(), QStringLiteral("By Title: Song"));
    // Choosing a proposal searches at once.
    field->setCurrentIndex(1);
    Q_EMIT field->activated(1);
    QCOMPARE(SearchedQuery(), QStringLiteral("first=Band"));

    page_->PrepareForRow({"Name", "Title"}, {"(not available)", "(not available)"});
    QCOMPARE(field->count(), 0);
    QCOMPARE(field->currentText(), QString());

    QSignalSpy cells(page_.get(), &TSearchPage::ProgressCellsChanged);
    page_->OnProgressChange(7, 14);
    page_->OnProgressChange(7, 0);
    QCOMPARE(cells.size(), 2);
    QCOMPARE(cells[0][0].toInt(), 7);
    QCOMPARE(cells[1][0].toInt(), 0);
  }
};

QTEST_MAIN(SearchPageTest)
#include "SearchPageTest.moc"
