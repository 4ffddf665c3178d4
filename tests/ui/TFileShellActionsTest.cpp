// The file's menu, its Properties window and the type names from the MIME database.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLocale>
#include <QMenu>
#include <QMimeDatabase>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "support/TMessageRecorder.h"
#include "scan/FormFileProperties.h"
#include "scan/TFileShellActions.h"

namespace {

QString MakeFile(const QTemporaryDir& folder, const QString& name, qint64 size) {
  const QString path = folder.filePath(name);
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) {
    file.write(QByteArray(static_cast<qsizetype>(size), 'x'));
  }
  return path;
}

}  // namespace

class TFileShellActionsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
  void cleanup() { SetMessageHook({}); }
  void TypeNamesComeFromTheFileName();
  void MenuOffersTheFourEntries();
  void PropertiesShowTheFile();
  void MissingFileIsReportedNotOpened();
};

void TFileShellActionsTest::TypeNamesComeFromTheFileName() {
  const std::string mp3 = MimeTypeDescription("/nowhere/song.mp3");
  QVERIFY2(!mp3.empty(), "shared-mime-info is not installed");
  QVERIFY(ToQString(mp3).contains(QStringLiteral("MP3"), Qt::CaseInsensitive));
  // The name decides, in any letter case, and the file need not exist.
  QCOMPARE(MimeTypeDescription("/nowhere/SONG.MP3"), mp3);
  QCOMPARE(MimeTypeDescription("/nowhere/file.zzqqxx"), std::string());
  QCOMPARE(MimeTypeDescription(""), std::string());
  for (const char* name : {"a.mp3", "b.wav", "c.ogg", "d.mpg", "e.txt", "f.flac"}) {
    QVERIFY(ToQString(MimeTypeDescription(name)).size() <= 80);
  }
  // Texts kept from earlier look-ups never answer for another type, also where more than the
  // name's ending decides (each such name follows a plain one with the same ending).
  const QMimeDatabase database;
  for (const char* name : {"e.txt", "a.mp3", "b.wav", "e.txt", "a.mp3", "CMakeLists.txt", "README.txt", "other.xml",
                           "/x/pom.xml", "a.gz", "x.tar.gz", "x.vdr", "123.vdr", "a.1", "lib.so.1", "Makefile",
                           "makefile.am", "song.MP3", "Vol. 2.mp3", "song.mp3~", "a.anim5"}) {
    const QMimeType type = database.mimeTypeForFile(QString::fromLatin1(name), QMimeDatabase::MatchExtension);
    QCOMPARE(ToQString(MimeTypeDescription(name)), type.isDefault() ? QString() : type.comment().left(80));
  }
}

void TFileShellActionsTest::MenuOffersTheFourEntries() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString path = MakeFile(folder, QStringLiteral("a b.mp3"), 10);
  QWidget owner;
  TFileShellActions actions(&owner);
  std::unique_ptr<QMenu> menu(actions.CreateContextMenu(path, &owner));
  QStringList captions;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) captions << action->text();
  }
  QCOMPARE(captions, (QStringList{QStringLiteral("Open"), QStringLiteral("Open Containing Folder"),
                                  QStringLiteral("Copy Path"), QStringLiteral("Properties")}));
  QCOMPARE(menu->defaultAction()->text(), QStringLiteral("Open"));

  QApplication::clipboard()->clear();
  for (QAction* action : menu->actions()) {
    if (action->text() == QStringLiteral("Copy Path")) action->trigger();
  }
  QCOMPARE(QApplication::clipboard()->text(), path);
}

void TFileShellActionsTest::PropertiesShowTheFile() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  const QString path = MakeFile(folder, QStringLiteral(".hidden.mp3"), 1536);
  QFile::setPermissions(path, QFileDevice::ReadOwner);
  TfrmFileProperties dialog(path, nullptr);
  QCOMPARE(dialog.ValueOf(QStringLiteral("Name:")), QStringLiteral(".hidden.mp3"));
  QCOMPARE(dialog.ValueOf(QStringLiteral("Location:")), folder.path());
  QVERIFY(dialog.ValueOf(QStringLiteral("Size:")).startsWith(QStringLiteral("1,536 bytes")));
  QCOMPARE(dialog.ValueOf(QStringLiteral("Attributes:")), QStringLiteral("ReadOnly + Hidden"));
  QVERIFY(dialog.ValueOf(QStringLiteral("Permissions:")).startsWith(QStringLiteral("r--------")));
  QVERIFY(!dialog.ValueOf(QStringLiteral("Modified:")).isEmpty());
  QVERIFY(dialog.ValueOf(QStringLiteral("Type:")).contains(QStringLiteral("MP3"), Qt::CaseInsensitive));
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

  TfrmFileProperties gone(folder.filePath(QStringLiteral("gone.mp3")), nullptr);
  QCOMPARE(gone.ValueOf(QStringLiteral("Status:")), QStringLiteral("The file no longer exists."));
  QCOMPARE(gone.ValueOf(QStringLiteral("Size:")), QString());
}

void TFileShellActionsTest::MissingFileIsReportedNotOpened() {
  QTemporaryDir folder;
  QVERIFY(folder.isValid());
  TMessageRecorder recorder;
  TFileShellActions actions(nullptr);
  const QString missing = folder.filePath(QStringLiteral("gone.mp3"));
  QVERIFY(!actions.OpenDefault(missing));
  QCOMPARE(recorder.Requests.size(), 1);
  QCOMPARE(recorder.Requests[0].Icon, TMsgIcon::Error);
  QVERIFY(recorder.Requests[0].Text.contains(missing));
}

QTEST_MAIN(TFileShellActionsTest)
#include "TFileShellActionsTest.moc"
