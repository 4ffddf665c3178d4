// The Actions page's file actions as a user meets them: Delete and Destroy with their question,
// per-file failures, the log window and its saved file; Cancel during a destruction; Copy and
// Move through the folder question, the conflict question and the refresh.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

#include "actions/FormDestroyLog.h"
#include "actions/FormDestroyProgress.h"
#include "app/ByteString.h"
#include "app/FormMain.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "core/UnitTextFiles.h"
#include "scan/TMP3ListModel.h"
#include "scan/TMP3ListView.h"
#include "shell/TShellFolderTree.h"
#include "support/TMessageRecorder.h"

namespace {

void Make(const QString& path, std::size_t size) { std::ofstream(QStringToPath(path)) << std::string(size, 'x'); }

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs `handle` on the first visible top-level window of type T, from inside its modal loop.
template <typename T>
void WhenShown(std::function<void(T*)> handle) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, handle] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* window = qobject_cast<T*>(w);
      if (window == nullptr || !window->isVisible()) continue;
      timer->stop();
      timer->deleteLater();
      handle(window);
      return;
    }
  });
  timer->start();
}

}  // namespace

class FileActionsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir programDir_;
  QTemporaryDir mediaDir_;

  QString Media(const QString& name) const { return mediaDir_.filePath(name); }
  template <typename T>
  static T* Child(QObject* window, const char* name) {
    return window->findChild<T*>(QLatin1String(name));
  }

  // A started main window on the Actions page, listing the media folder, with rows checked.
  std::unique_ptr<TfrmMain> Start(std::initializer_list<int> checkedRows) {
    auto w = std::make_unique<TfrmMain>();
    w->show();
    if (!QTest::qWaitFor([&] { return w->FirstActivationDone(); }, 5000)) return nullptr;
    Child<TShellFolderTree>(w.get(), "tvLeftFolders")->SelectPath(QStringToPath(mediaDir_.path()));
    Child<QAction>(w.get(), "tbDestroy")->trigger();
    for (int row : checkedRows) Child<TMP3ListView>(w.get(), "lvMP3s")->Model()->ToggleCheck(row);
    return w;
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(programDir_.isValid() && mediaDir_.isValid());
    SetProgramFolder(QStringToPath(programDir_.path()));
    // The search sites ship with the program; without them the start reports the missing file.
    WriteTextLines(ProgramFile("SEARCH.CFG"), {"Web=https://example.org/?q=THISISREPLACEDWITHACTUALTEXT"});
  }

  void init() {
    QDir media(mediaDir_.path());
    media.removeRecursively();
    media.mkpath(QStringLiteral("."));
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"}) Make(Media(QLatin1String(name)), 40000);
  }

  // No: nothing touched, no log, no refresh. Yes: each checked file in list order, a vanished one
  // failing with its box and line, the log saved with CR LF exactly as shown, then a refresh.
  void deleteAndDestroyRunInListOrderWithTheirLog_data() {
    QTest::addColumn<int>("tag");
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QString>("ok");
    QTest::addColumn<QString>("error");
    QTest::newRow("delete") << 0 << QStringLiteral("delete") << QStringLiteral(" deleted OK")
                            << QStringLiteral("Error deleting ");
    QTest::newRow("destroy") << 1 << QStringLiteral("destroy") << QStringLiteral(" destroyed OK")
                             << QStringLiteral("Error destroying ");
  }
  void deleteAndDestroyRunInListOrderWithTheirLog() {
    QFETCH(int, tag);
    QFETCH(QString, verb);
    QFETCH(QString, ok);
    QFETCH(QString, error);
    auto w = Start({0, 1, 2});
    QVERIFY(w);
    auto* button = Child<QPushButton>(w.get(), tag == 0 ? "cmdDelete" : "cmdDestroy");
    {
      TMessageRecorder no(TMsgResult::No);
      button->click();
      QCOMPARE(no.Requests.size(), 1);
      QCOMPARE(no.Requests[0].Caption, QStringLiteral("Please confirm"));
      QVERIFY(no.Requests[0].Text.startsWith(QStringLiteral("You have selected 3 file(s) to %1.").arg(verb)));
      QCOMPARE(Read(Media(QStringLiteral("a.mp3"))), QByteArray(40000, 'x'));
      QCOMPARE(FoundFileList.at(0).Checked, 1);  // no refresh
    }

    QFile::remove(Media(QStringLiteral("b.mp3")));  // vanished after the scan
    const QString saved = mediaDir_.filePath(QStringLiteral("sub/log.TXT"));
    QDir(mediaDir_.path()).mkpath(QStringLiteral("sub"));
    SetFileDialogHook([&](const TFileDialogRequest& r) {
      return r.Filter == QStringLiteral("Text Files (*.TXT)") ? saved : QString();
    });
    QStringList shown;
    WhenShown<TfrmDestroyLog>([&](TfrmDestroyLog* log) {
      QCOMPARE(log->windowTitle(), QStringLiteral("Delete/Destroy Raport"));
      shown = log->Lines();
      Child<QPushButton>(log, "cmdSave")->click();
      QTest::keyClick(Child<QWidget>(log, "memoLog"), Qt::Key_Escape);
    });
    TMessageRecorder yes(TMsgResult::Yes);
    button->click();
    SetFileDialogHook({});

    QCOMPARE(yes.Requests.size(), 2);
    QCOMPARE(yes.Requests[1].Caption, QStringLiteral("Corvantis Sonarvex"));
    QVERIFY(yes.Requests[1].Text.startsWith(QStringLiteral("Unable to %1\r\n\r\n%2\r\n\r\n")
                                                .arg(verb, Media(QStringLiteral("b.mp3")))));
    QCOMPARE(shown.size(), 8);
    QCOMPARE(shown.mid(0, 3), (QStringList{QStringLiteral("Deletion/Destruction Log"),
                                           QStringLiteral("Generated by Corvantis Sonarvex"), QString()}));
    QVERIFY(shown[3].startsWith(QStringLiteral("Deletion perfomed on ")));
    QCOMPARE(shown.mid(4), (QStringList{QString(), Media(QStringLiteral("a.mp3")) + ok,
                                        error + Media(QStringLiteral("b.mp3")), Media(QStringLiteral("c.mp3")) + ok}));
    QCOMPARE(Read(saved), (shown.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    QVERIFY(FoundFileList.empty());  // refreshed: all gone
  }

  // Cancel asks first; Yes stops after the current block and leaves the file, No goes on.
  void cancelDuringDestructionAsksFirst_data() {
    QTest::addColumn<bool>("interrupt");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
  }
  void cancelDuringDestructionAsksFirst() {
    QFETCH(bool, interrupt);
    const QString path = Media(QStringLiteral("big.mp3"));
    Make(path, 100000);
    DestroyLog.clear();
    TMessageRecorder answers(interrupt ? TMsgResult::Yes : TMsgResult::No);
    TfrmDestroyProgress progress(nullptr);
    progress.SetFileName(QStringToPath(path));
    QVERIFY(Child<QLabel>(&progress, "txtNowDestroying")->text().startsWith(QStringLiteral("Destroying \r\n")));
    auto* bar = Child<QProgressBar>(&progress, "pbDestroying");
    connect(bar, &QProgressBar::valueChanged, &progress, [&](int value) {
      if (value == 1) Child<QPushButton>(&progress, "cmdCancel")->click();
    });
    progress.exec();
    QCOMPARE(bar->maximum(), 4);
    QVERIFY(answers.Requests[0].Text.startsWith(
        QStringLiteral("Are you sure you want to interrupt the destruction of \r\n\r\n") + path + QLatin1Char('?')));
    QCOMPARE(progress.Destroyed(), !interrupt);
    QCOMPARE(QFile::exists(path), interrupt);
    if (interrupt) {
      QCOMPARE(Read(path), QByteArray(32768, '\0') + QByteArray(100000 - 32768, 'x'));
      QCOMPARE(answers.Requests.size(), 2);
      QVERIFY(answers.Requests[1].Text.startsWith(QStringLiteral("Unable to destroy")));
    }
    QCOMPARE(DestroyLog, (TStringList{interrupt ? "Error destroying " + QStringToPath(path)
                                                : QStringToPath(path) + " destroyed OK"}));
  }

  // The folder question names the verb; cancelling it does nothing. A conflict asks, and the
  // moved files leave the refreshed list.
  void copyAndMoveIntoAChosenFolder() {
    auto w = Start({0, 2});
    QVERIFY(w);
    const QString target = Media(QStringLiteral("target"));
    QDir(mediaDir_.path()).mkpath(QStringLiteral("target"));
    std::ofstream(QStringToPath(target + QStringLiteral("/c.mp3"))) << "old";
    QStringList captions;
    QString answer;
    SetFileDialogHook([&](const TFileDialogRequest& r) {
      captions.append(r.Caption);
      return answer;
    });
    QStringList conflicts;
    SetChoiceHook([&](const TChoiceRequest& r) {
      conflicts.append(r.Text);
      return static_cast<int>(r.Buttons.indexOf(QStringLiteral("Skip")));
    });

    Child<QPushButton>(w.get(), "cmdCopy")->click();  // cancelled: no refresh, marks stay
    QCOMPARE(captions, QStringList{QStringLiteral("Please select the folder where you want to copy the selected file(s):")});
    QCOMPARE(FoundFileList.at(0).Checked, 1);

    answer = target;
    Child<QPushButton>(w.get(), "cmdCopy")->click();
    QCOMPARE(conflicts.size(), 1);
    QCOMPARE(Read(target + QStringLiteral("/a.mp3")), QByteArray(40000, 'x'));
    QCOMPARE(Read(target + QStringLiteral("/c.mp3")), QByteArray("old"));  // skipped
    QCOMPARE(FoundFileList.size(), std::size_t(3));                          // a copy leaves the list as it was
    QCOMPARE(FoundFileList.at(0).Checked, 0);                                // refreshed

    w->findChild<TMP3ListView*>(QStringLiteral("lvMP3s"))->Model()->ToggleCheck(1);
    Child<QPushButton>(w.get(), "cmdMove")->click();
    QVERIFY(captions.last().contains(QStringLiteral("to move the selected")));
    QCOMPARE(Read(target + QStringLiteral("/b.mp3")), QByteArray(40000, 'x'));
    QCOMPARE(FoundFileList.size(), std::size_t(2));
    SetFileDialogHook({});
    SetChoiceHook({});
  }
};

QTEST_MAIN(FileActionsTest)
#include "FileActionsTest.moc"
