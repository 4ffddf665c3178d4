// The help window: context numbers to topics, the contents, one reused non-modal window, and
// silence or a single warning when the help collection is missing or broken.

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHelpContentModel>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeView>
#include <QAction>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "help/DesktopLinks.h"
#include "help/HtmlHelp.h"
#include "help/HtmlHelpViewer.h"

namespace {

const QString BuiltProgramFolder = QStringLiteral(SONARVEX_PROGRAM_DIR);

bool CopyBuiltFile(const QString& name, const QString& folder) {
  return QFile::copy(BuiltProgramFolder + QLatin1Char('/') + name, folder + QLatin1Char('/') + name);
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class HelpTest : public QObject {
  Q_OBJECT

 private:
  QList<TMessageRequest> messages_;
  std::unique_ptr<QTemporaryDir> folder_;

  QString Folder() const { return folder_->path(); }
  void InstallCollection() {
    QVERIFY(CopyBuiltFile(QStringLiteral("SONARVEX.qhc"), Folder()));
    QVERIFY(CopyBuiltFile(QStringLiteral("SONARVEX.qch"), Folder()));
  }

 private Q_SLOTS:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    SetMessageHook([this](const TMessageRequest& request) {
      messages_.append(request);
      return TMsgResult::Ok;
    });
  }

  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    SetProgramFolder(QStringToPath(Folder()));
    messages_.clear();
  }

  void cleanup() {
    ShutDownHelp();
    QVERIFY(HelpViewerWindow() == nullptr);
  }

  void withoutCollectionEveryRequestIsSilent() {
    QVERIFY(!InitializeHelp());
    ShowHelpContext(nullptr, 1020);
    ShowHelpContents(nullptr);
    // A collection whose topics file is missing counts as missing too.
    QVERIFY(CopyBuiltFile(QStringLiteral("SONARVEX.qhc"), Folder()));
    QVERIFY(!InitializeHelp());
    ShowHelpContext(nullptr, 2060);
    QVERIFY(HelpViewerWindow() == nullptr);
    QVERIFY(messages_.isEmpty());
  }

  void contextOpensItsTopic_data() {
    QTest::addColumn<int>("context");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("heading");
    QTest::newRow("main window") << 1020 << "mainwindow.html" << "The main window";
    QTest::newRow("scanning") << 2010 << "scanning.html" << "Scanning for media files";
    QTest::newRow("delete and destroy") << 2060 << "deleting.html" << "Deleting and destroying files";
    QTest::newRow("reports") << 2070 << "reports.html" << "Reports";
    QTest::newRow("file types") << 2080 << "filetypes.html" << "File types";
    QTest::newRow("columns") << 2090 << "columns.html" << "Choosing the columns";
    QTest::newRow("unknown number") << 9999 << "index.html" << "Sonarvex Help";
  }

  void contextOpensItsTopic() {
    QFETCH(int, context);
    QFETCH(QString, page);
    QFETCH(QString, heading);
    InstallCollection();
    QVERIFY(InitializeHelp());
    ShowHelpContext(nullptr, context);
    HtmlHelpViewer* viewer = HelpViewerWindow();
    QVERIFY(viewer != nullptr);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->windowModality(), Qt::NonModal);
    QCOMPARE(viewer->CurrentTopic().fileName(), page);
    QVERIFY(viewer->Browser()->toPlainText().startsWith(heading));
    QVERIFY(messages_.isEmpty());
  }

  void oneWindowWithBackForwardAndContents() {
    InstallCollection();
    ShowHelpContext(nullptr, 1020);
    HtmlHelpViewer* viewer = HelpViewerWindow();
    QVERIFY(viewer != nullptr);
    QVERIFY(!viewer->BackAction()->isEnabled());
    ShowHelpContext(nullptr, 2060);
    QCOMPARE(HelpViewerWindow(), viewer);
    QVERIFY(viewer->BackAction()->isEnabled());
    viewer->BackAction()->trigger();
    QCOMPARE(viewer->CurrentTopic().fileName(), QStringLiteral("mainwindow.html"));
    QVERIFY(viewer->ForwardAction()->isEnabled());
    viewer->ForwardAction()->trigger();
    QCOMPARE(viewer->CurrentTopic().fileName(), QStringLiteral("deleting.html"));

    // "Help Topics" gives the contents, not a context, in the same window.
    viewer->hide();
    ShowHelpContents(nullptr);
    QCOMPARE(HelpViewerWindow(), viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->CurrentTopic().fileName(), QStringLiteral("index.html"));

    // The contents pane fills in (the engine builds it in the background) and follows the page.
    QTreeView* tree = viewer->ContentsTree();
    QTRY_VERIFY(tree->model()->rowCount() > 0);
    QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("Sonarvex Help"));
    const QModelIndex root = tree->model()->index(0, 0);
    QModelIndex columns;
    for (int row = 0; row < tree->model()->rowCount(root); ++row) {
      const QModelIndex index = tree->model()->index(row, 0, root);
      if (index.data().toString() == QStringLiteral("Choosing the columns")) columns = index;
    }
    QVERIFY(columns.isValid());
    Q_EMIT tree->activated(columns);
    QCOMPARE(viewer->CurrentTopic().fileName(), QStringLiteral("columns.html"));
    ShowHelpContext(nullptr, 2080);
    QCOMPARE(tree->currentIndex().data().toString(), QStringLiteral("File types"));
  }

  // Help pages show only what the collection holds; web links go to the desktop's browser.
  void linksLeavingTheHelpGoToTheBrowser() {
    InstallCollection();
    QList<QUrl> opened;
    SetOpenUrlHook([&opened](const QUrl& url) {
      opened.append(url);
      return true;
    });
    ShowHelpContext(nullptr, 2070);
    QTextBrowser* browser = HelpViewerWindow()->Browser();
    const QUrl page = browser->source();
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("https://www.corvantis.example/sonarvex")));
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("file:///etc/passwd")));
    QCOMPARE(browser->source(), page);
    Q_EMIT browser->anchorClicked(QUrl(QStringLiteral("columns.html#top")));
    QCOMPARE(browser->source().fileName(), QStringLiteral("columns.html"));
    SetOpenUrlHook({});
    QCOMPARE(opened, QList<QUrl>{QUrl(QStringLiteral("https://www.corvantis.example/sonarvex"))});
    QVERIFY(browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("file:///etc/passwd"))).isNull());
    QVERIFY(!browser->loadResource(QTextDocument::ImageResource, QUrl(QStringLiteral("images/sonarvex.svg")))
                 .toByteArray()
                 .isEmpty());
  }

  void helpFromModalWindowStaysUsable() {
    InstallCollection();
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setGeometry(40, 30, 200, 100);
    dialog.show();
    ShowHelpContext(&dialog, 2080);
    HtmlHelpViewer* viewer = HelpViewerWindow();
    QVERIFY(viewer != nullptr);
    // Placed like a new window: whole within the screen's free area, as near the asker's centre as
    // that allows, with the window manager's frame.
    const QRect area = dialog.screen()->availableGeometry();
    QVERIFY(area.contains(viewer->frameGeometry()));
    const QRect frame = viewer->frameGeometry();
    const QPoint centre = dialog.frameGeometry().center();
    QVERIFY(qAbs(frame.left() - std::clamp(centre.x() - frame.width() / 2, area.left(), area.right() + 1 - frame.width())) <= 1);
    QVERIFY(qAbs(frame.top() - std::clamp(centre.y() - frame.height() / 2, area.top(), area.bottom() + 1 - frame.height())) <= 1);
    QVERIFY(!viewer->windowFlags().testFlag(Qt::FramelessWindowHint));
    // A child of the modal window is not blocked by it.
    QCOMPARE(viewer->parentWidget(), &dialog);
    QVERIFY(viewer->isWindow());
    QVERIFY(viewer->isVisible());
    // A modal window opened from another: closing the inner one hands the help to the outer.
    QDialog inner(&dialog);
    inner.setWindowModality(Qt::ApplicationModal);
    inner.show();
    ShowHelpContext(&inner, 2080);
    QCOMPARE(HelpViewerWindow(), viewer);
    QCOMPARE(viewer->parentWidget(), &inner);
    inner.hide();
    QCOMPARE(viewer->parentWidget(), &dialog);
    QVERIFY(viewer->isVisible());
    dialog.hide();
    QVERIFY(viewer->parentWidget() == nullptr);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->CurrentTopic().fileName(), QStringLiteral("filetypes.html"));
    // Help from a window that is not modal leaves the help window on its own.
    QWidget plain;
    plain.show();
    ShowHelpContext(&plain, 1020);
    QVERIFY(viewer->parentWidget() == nullptr);
  }

  void brokenCollectionWarnsOnceThenStaysSilent() {
    QVERIFY(WriteFile(Folder() + QStringLiteral("/SONARVEX.qhc"), QByteArray(4096, '\x5a')));
    QVERIFY(WriteFile(Folder() + QStringLiteral("/SONARVEX.qch"), QByteArray("not a help file")));
    QVERIFY(!InitializeHelp());
    QCOMPARE(messages_.size(), 1);
    QCOMPARE(messages_[0].Caption, QStringLiteral("Warning!"));
    QVERIFY(messages_[0].Text.startsWith(QStringLiteral("Unable to view HTML help")));
    QCOMPARE(messages_[0].Icon, TMsgIcon::Warning);
    QCOMPARE(messages_[0].Buttons, TMsgButtons::Ok);
    QVERIFY(!InitializeHelp());
    ShowHelpContext(nullptr, 1020);
    ShowHelpContents(nullptr);
    QCOMPARE(messages_.size(), 1);
    QVERIFY(HelpViewerWindow() == nullptr);
  }

  // The program folder may be read-only or shared by several running copies: the help is read
  // in place without a single write.
  void shippedCollectionIsNeverWritten() {
    InstallCollection();
    QFile collection(HelpCollectionFile());
    QVERIFY(collection.open(QIODevice::ReadOnly));
    const QByteArray before = collection.readAll();
    collection.close();
    const QStringList filesBefore = QDir(Folder()).entryList(QDir::Files);
    QVERIFY(InitializeHelp());
    ShowHelpContext(nullptr, 2070);
    ShowHelpContents(nullptr);
    QTRY_VERIFY(HelpViewerWindow()->ContentsTree()->model()->rowCount() > 0);
    ShutDownHelp();
    QVERIFY(collection.open(QIODevice::ReadOnly));
    QVERIFY(collection.readAll() == before);
    QCOMPARE(QDir(Folder()).entryList(QDir::Files), filesBefore);
  }

  void readOnlyCollectionIsCopiedToAWritableFolder() {
    InstallCollection();
    const QString collection = HelpCollectionFile();
    for (const QString& file : {collection, HelpDocumentationFile()}) {
      QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
    QTemporaryDir cache;
    const QString copy = CopyHelpCollectionTo(collection, cache.path() + QStringLiteral("/help"));
    QCOMPARE(copy, cache.path() + QStringLiteral("/help/SONARVEX.qhc"));
    QVERIFY(QFileInfo(copy).isWritable());
    QVERIFY(QFileInfo(cache.path() + QStringLiteral("/help/SONARVEX.qch")).isWritable());
    {
      QHelpEngineCore engine(copy);
      engine.setReadOnly(false);
      QVERIFY(engine.setupData());
      QCOMPARE(engine.documentsForIdentifier(QStringLiteral("context-2090")).value(0).url.fileName(),
               QStringLiteral("columns.html"));
    }
    // Copied again over an earlier copy; nothing to copy gives nothing.
    QCOMPARE(CopyHelpCollectionTo(collection, cache.path() + QStringLiteral("/help")), copy);
    QVERIFY(CopyHelpCollectionTo(Folder() + QStringLiteral("/NONE.qhc"), cache.path()).isEmpty());
  }

  // Every link of every topic leads to a page or picture of the collection.
  void topicLinksAreWhole() {
    QHelpEngineCore engine(BuiltProgramFolder + QStringLiteral("/SONARVEX.qhc"));
    QVERIFY(engine.setupData());
    const QString ns = engine.registeredDocumentations().value(0);
    const QList<QUrl> pages = engine.files(ns, QString(), QStringLiteral("html"));
    QVERIFY(pages.size() >= 10);
    const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"#]*)(#[^\"]*)?\""));
    int checked = 0;
    for (const QUrl& page : pages) {
      const QString text = QString::fromUtf8(engine.fileData(page));
      QVERIFY2(text.contains(QStringLiteral("<h1>")), qPrintable(page.toString()));
      for (auto it = link.globalMatch(text); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (target.isEmpty() || target.startsWith(QStringLiteral("http"))) continue;
        QVERIFY2(!engine.fileData(page.resolved(QUrl(target))).isEmpty(),
                 qPrintable(page.fileName() + QStringLiteral(" -> ") + target));
        ++checked;
      }
    }
    QVERIFY(checked > 20);
  }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
