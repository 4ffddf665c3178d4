#include "scan/FormScanning.h"

#include "app/ByteString.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"

#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

std::string MakeFile(const std::string& path) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path) << "x";
  return path;
}

// Runs `step` from inside the walk's event processing until it returns true.
class TDuringWalk {
 public:
  explicit TDuringWalk(std::function<bool()> step) : step_(std::move(step)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (step_()) timer_.stop();
    });
    timer_.start(0);
  }

 private:
  std::function<bool()> step_;
  QTimer timer_;
};

}  // namespace

class FormScanningTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    ScanFilter = std::string(DefaultScanFilter);
    ScanCancelRequested = false;
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    root_ = QStringToPath(dir_->path());
    SetProgramFolder(root_);  // no help files here: F1 must stay quiet
    messages_ = 0;
    SetMessageHook([this](const TMessageRequest&) {
      ++messages_;
      return TMsgResult::Ok;
    });
  }

  void cleanup() {
    SetMessageHook({});
    QCOMPARE(messages_, 0);
    ScanCancelRequested = false;
    dir_.reset();
  }

  void looksAsDesignedAndSitsOnItsOwner() {
    QWidget owner;
    owner.setGeometry(100, 120, 900, 700);
    owner.show();
    TfrmScanning frm(&owner);
    TFoundFileList found;
    frm.SetFolder(root_);
    frm.SetResultList(&found);

    QCOMPARE(frm.size(), QSize(630, 99));
    QVERIFY(frm.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!frm.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QCOMPARE(frm.HelpContext(), 2010);
    QCOMPARE(frm.property("HelpContext").toInt(), 2010);
    auto* label = frm.findChild<QLabel*>(QStringLiteral("txtNowScanning"));
    auto* cancel = frm.findChild<QPushButton*>(QStringLiteral("cmdCancelScanning"));
    QVERIFY(label != nullptr && cancel != nullptr);
    QCOMPARE(label->font().family(), QStringLiteral("Arial"));
    QCOMPARE(label->font().pixelSize(), 13);
    QVERIFY(label->wordWrap());
    QVERIFY(label->alignment().testFlag(Qt::AlignHCenter));
    QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
    QVERIFY(qAbs(cancel->x() - (630 - cancel->x() - cancel->width())) <= 1);
    QVERIFY(cancel->geometry().top() >= label->geometry().bottom());

    QCOMPARE(frm.exec(), int(QDialog::Accepted));
    QVERIFY(qAbs(frm.geometry().center().x() - owner.frameGeometry().center().x()) <= 1);
    QVERIFY(qAbs(frm.geometry().center().y() - owner.frameGeometry().center().y()) <= 1);

    const QImage image = frm.grab().toImage();
    const QColor frame = frm.palette().color(QPalette::Active, QPalette::Highlight);
    for (const QPoint p : {QPoint(0, 0), QPoint(1, 1), QPoint(629, 50), QPoint(300, 98), QPoint(0, 97)})
      QCOMPARE(image.pixelColor(p), frame);
    QVERIFY(image.pixelColor(QPoint(2, 50)) != frame);
  }

  void walksWhenShownAppendsAndClosesItself() {
    MakeFile(root_ + "/a.mp3");
    MakeFile(root_ + "/b.txt");
    MakeFile(root_ + "/sub/c.MP3");
    for (const bool recursive : {false, true}) {
      TfrmScanning frm(nullptr);
      TFoundFileList found{{"/kept.mp3", 1}};
      frm.SetFolder(root_);
      frm.SetRecursive(recursive);
      frm.SetResultList(&found);
      ScanCancelRequested = true;  // left over from an earlier scan
      QCOMPARE(frm.exec(), int(QDialog::Accepted));
      QVERIFY(!frm.isVisible());
      QVERIFY(!ScanCancelRequested);
      QCOMPARE(found.front().Path, std::string("/kept.mp3"));
      QCOMPARE(found.size(), recursive ? std::size_t(3) : std::size_t(2));
      QCOMPARE(found[1].Path, root_ + "/a.mp3");
      if (recursive) QCOMPARE(found[2].Path, root_ + "/sub/c.MP3");
    }
  }

  void labelShowsTheFolderNotTheFile() {
    MakeFile(root_ + "/a.mp3");
    TfrmScanning frm(nullptr);
    TFoundFileList found;
    frm.SetFolder(root_);
    frm.SetResultList(&found);
    frm.SetEventInterval(0);
    QStringList seen;
    auto* label = frm.findChild<QLabel*>(QStringLiteral("txtNowScanning"));
    TDuringWalk watch([&] {
      seen.append(label->text());
      return false;
    });
    frm.exec();
    const QString expected = QStringLiteral("Scanning \r\n") + ToQString(root_);
    QCOMPARE(label->text(), expected);
    seen.removeDuplicates();
    seen.removeAll(QString());
    QCOMPARE(seen, QStringList{expected});
  }

  void cancelKeepsThePartialResult() {
    for (int i = 0; i < 40; ++i) MakeFile(root_ + "/f" + std::to_string(i) + "/song.mp3");
    QWidget owner;
    TfrmScanning frm(&owner);
    TFoundFileList found;
    frm.SetFolder(root_);
    frm.SetRecursive(true);
    frm.SetResultList(&found);
    frm.SetEventInterval(0);
    std::size_t foundAtCancel = 0;
    auto* cancel = frm.findChild<QPushButton*>(QStringLiteral("cmdCancelScanning"));
    TDuringWalk press([&] {
      if (found.size() < 3) return false;
      foundAtCancel = found.size();
      QTest::mouseClick(cancel, Qt::LeftButton);
      return true;
    });
    QCOMPARE(frm.exec(), int(QDialog::Rejected));
    QVERIFY(ScanCancelRequested);
    QVERIFY(foundAtCancel >= 3);
    QVERIFY(found.size() >= foundAtCancel);
    QVERIFY(found.size() <= foundAtCancel + 1);
    QVERIFY(found.size() < 40);
  }

  void escapeAndCloseRequestsDoNotCancel() {
    for (int i = 0; i < 20; ++i) MakeFile(root_ + "/f" + std::to_string(i) + "/song.mp3");
    TfrmScanning frm(nullptr);
    TFoundFileList found;
    frm.SetFolder(root_);
    frm.SetRecursive(true);
    frm.SetResultList(&found);
    frm.SetEventInterval(0);
    bool stillShown = false;
    TDuringWalk poke([&] {
      if (found.empty()) return false;
      QTest::keyClick(&frm, Qt::Key_Escape);
      frm.close();
      QTest::keyClick(&frm, Qt::Key_F1);
      stillShown = frm.isVisible();
      return true;
    });
    QCOMPARE(frm.exec(), int(QDialog::Accepted));
    QVERIFY(stillShown);
    QVERIFY(!ScanCancelRequested);
    QCOMPARE(found.size(), std::size_t(20));
  }

  void longFoldersAreShortenedToTheLabelWidth() {
    TfrmScanning frm(nullptr);
    const std::string name(60, 'n');
    const std::string folder = "/" + name + "1/" + name + "2/" + name + "3/" + name + "4/last";
    const QString text = frm.ScanningText(folder);
    QVERIFY(text.startsWith(QStringLiteral("Scanning \r\n/.../")));
    QVERIFY(text.endsWith(QStringLiteral("/last")));
    auto* label = frm.findChild<QLabel*>(QStringLiteral("txtNowScanning"));
    const QString shown = text.mid(11);
    QVERIFY(QFontMetrics(label->font()).horizontalAdvance(shown) <= label->contentsRect().width());

    // The folder is shortened only when the label paints: a hidden window measures nothing.
    frm.ScanProgressEvent(folder, folder + "/a.mp3");
    QCOMPARE(label->text(), QString());
    label->grab();
    QCOMPARE(label->text(), text);

    // Names that are not UTF-8 are shown with replacement characters, never dropped.
    const QString odd = frm.ScanningText("/music/caf\xE9");
    QCOMPARE(odd, QStringLiteral("Scanning \r\n/music/caf") + QChar(0xFFFD));
  }

  void missingFolderOrNoListClosesQuietly() {
    TfrmScanning frm(nullptr);
    TFoundFileList found;
    frm.SetFolder(root_ + "/missing");
    frm.SetResultList(&found);
    QCOMPARE(frm.exec(), int(QDialog::Accepted));
    QVERIFY(found.empty());
    TfrmScanning noList(nullptr);
    noList.SetFolder(root_);
    QCOMPARE(noList.exec(), int(QDialog::Accepted));
  }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::string root_;
  int messages_ = 0;
};

QTEST_MAIN(FormScanningTest)
#include "FormScanningTest.moc"
