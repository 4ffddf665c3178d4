// The folder tree: a path-less Desktop root, folders listed only when a node opens, and the
// node-to-path mapping the scan relies on.

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <QScrollBar>
#include <QTest>
#include <sys/stat.h>

#include "app/ByteString.h"
#include "shell/TShellFolderTree.h"

class TShellFolderTreeTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void desktopRootHasNoPathAndHoldsHomeAndRoot() {
    TShellFolderTree tree;
    tree.RootAtDesktop();
    QTreeWidgetItem* desktop = tree.DesktopNode();
    QVERIFY(desktop != nullptr);
    QCOMPARE(desktop->text(0), QStringLiteral("Desktop"));
    QCOMPARE(tree.currentItem(), desktop);
    QVERIFY(tree.SelectedPath().empty());
    QStringList paths;
    for (int i = 0; i < desktop->childCount(); ++i)
      paths.append(PathToQString(TShellFolderTree::NodePath(desktop->child(i))));
    QVERIFY(paths.contains(QDir::homePath()));
    QVERIFY(paths.contains(QStringLiteral("/")));
    QCOMPARE(paths.count(QStringLiteral("/")), 1);
  }

  void foldersAreListedLazilyWithoutFilesOrHiddenFolders() {
    QTemporaryDir dir;
    QDir root(dir.path());
    QVERIFY(root.mkpath(QStringLiteral("b/inner")));
    QVERIFY(root.mkpath(QStringLiteral("A")));
    QVERIFY(root.mkpath(QStringLiteral(".hidden")));
    QFile file(root.filePath(QStringLiteral("song.mp3")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    TShellFolderTree tree;
    tree.RootAtDesktop();
    QSignalSpy changes(&tree, &TShellFolderTree::SelectionChanged);
    QVERIFY(tree.SelectPath(QStringToPath(dir.path())));
    QCOMPARE(tree.SelectedPath(), QStringToPath(dir.path()));
    QVERIFY(changes.count() >= 1);

    QTreeWidgetItem* node = tree.currentItem();
    // Not opened yet: one placeholder child only shows that there is something inside.
    QCOMPARE(node->childCount(), 1);
    node->setExpanded(true);
    QStringList names;
    for (int i = 0; i < node->childCount(); ++i) names.append(node->child(i)->text(0));
    QCOMPARE(names, (QStringList{QStringLiteral("A"), QStringLiteral("b")}));
    // "A" has no subfolder: no expand arrow; "b" has one.
    QCOMPARE(node->child(0)->childCount(), 0);
    QCOMPARE(node->child(1)->childCount(), 1);

    QVERIFY(tree.SelectPath(QStringToPath(root.filePath(QStringLiteral("b/inner")))));
    QCOMPARE(tree.SelectedPath(), QStringToPath(root.filePath(QStringLiteral("b/inner"))));
    QVERIFY(!tree.SelectPath(QStringToPath(root.filePath(QStringLiteral("missing")))));
  }

  void namesThatAreNotUtf8AreListedWholeAndScrollable() {
    QTemporaryDir dir;
    const std::string base = QStringToPath(dir.path());
    const std::string odd = base + "/caf\xE9";
    const std::string wide = base + "/" + std::string(120, 'w');
    QVERIFY(::mkdir(odd.c_str(), 0700) == 0);
    QVERIFY(::mkdir((odd + "/inner").c_str(), 0700) == 0);
    // QTemporaryDir removes by QString names, which cannot spell these bytes.
    const std::unique_ptr<const std::string, void (*)(const std::string*)> removeOdd(&odd, [](const std::string* path) {
      ::rmdir((*path + "/inner").c_str());
      ::rmdir(path->c_str());
    });
    QVERIFY(::mkdir(wide.c_str(), 0700) == 0);

    TShellFolderTree tree;
    tree.resize(150, 300);
    tree.show();
    tree.RootAtDesktop();
    // Chosen by its bytes, the folder is found and its node keeps exactly those bytes.
    QVERIFY(tree.SelectPath(odd + "/inner"));
    QCOMPARE(tree.SelectedPath(), odd + "/inner");
    QCOMPARE(TShellFolderTree::NodePath(tree.currentItem()->parent()), odd);
    QVERIFY(tree.SelectPath(wide));
    QCoreApplication::processEvents();
    // The long name is not cut off: the column is as wide as the name and the tree scrolls.
    QVERIFY(tree.columnWidth(0) >= tree.fontMetrics().horizontalAdvance(QString(120, QLatin1Char('w'))));
    QVERIFY(tree.horizontalScrollBar()->maximum() > 0);
  }
};

QTEST_MAIN(TShellFolderTreeTest)
#include "TShellFolderTreeTest.moc"
