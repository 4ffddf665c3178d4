// The About box: its texts, the licence from the program folder, the product link, and closing
// with Enter or Esc.

#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/ByteString.h"
#include "core/UnitGlobals.h"
#include "help/DesktopLinks.h"
#include "help/FormAbout.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

class AboutTest : public QObject {
  Q_OBJECT

 private:
  QList<QUrl> opened_;
  std::unique_ptr<QTemporaryDir> folder_;

  QString File(const QString& name) const { return folder_->path() + QLatin1Char('/') + name; }

 private Q_SLOTS:
  void initTestCase() {
    SetOpenUrlHook([this](const QUrl& url) {
      opened_.append(url);
      return true;
    });
  }

  void init() {
    folder_ = std::make_unique<QTemporaryDir>();
    QVERIFY(folder_->isValid());
    SetProgramFolder(QStringToPath(folder_->path()));
    opened_.clear();
  }

  void showsProductVersionPictureAndLicence() {
    // Line ends of any kind; the text is shown line by line as it stands.
    QVERIFY(WriteFile(File(QStringLiteral("LICENSE.TXT")), "MIT License\r\n\r\nCopyright (c) 2026\rCorvantis\n  indented\n"));
    TfrmAbout box;
    QCOMPARE(box.windowTitle(), QStringLiteral("About"));
    QCOMPARE(box.pcAbout->count(), 2);
    QCOMPARE(box.pcAbout->tabText(0), QStringLiteral("About"));
    QCOMPARE(box.pcAbout->tabText(1), QStringLiteral("License Agreement"));
    QCOMPARE(box.txtProductName->text(), QStringLiteral("Corvantis Sonarvex"));
    QVERIFY(box.txtProductName->font().bold());
    QVERIFY(box.txtProductName->font().pointSizeF() > box.txtVersion->font().pointSizeF());
    QCOMPARE(box.txtVersion->text(), QStringLiteral("Version 1.5"));
    QVERIFY(box.txtVersion->font().bold());
    QVERIFY(!box.imgProduct->pixmap().isNull());
    QVERIFY(box.memoLicense->isReadOnly());
    QCOMPARE(box.memoLicense->toPlainText(),
             QStringLiteral("MIT License\n\nCopyright (c) 2026\nCorvantis\n  indented"));
    QVERIFY(box.cmdOK->isDefault());
  }

  void missingOrUnreadableLicenceLeavesTheTabEmpty() {
    {
      TfrmAbout box;
      QVERIFY(box.memoLicense->toPlainText().isEmpty());
    }
    QVERIFY(QDir(folder_->path()).mkdir(QStringLiteral("LICENSE.TXT")));
    {
      TfrmAbout box;
      QVERIFY(box.memoLicense->toPlainText().isEmpty());
    }
  }

  void shippedLicenceIsTheProjectsOwn() {
    QVERIFY(QFile::copy(QStringLiteral(SONARVEX_PROGRAM_DIR "/LICENSE.TXT"), File(QStringLiteral("LICENSE.TXT"))));
    TfrmAbout box;
    const QString text = box.memoLicense->toPlainText();
    QVERIFY(text.startsWith(QStringLiteral("MIT License")));
    QVERIFY(text.contains(QStringLiteral("Copyright (c) 2026 Corvantis")));
  }

  void linkOpensTheAddressOfInfoUrl() {
    QVERIFY(QFile::copy(QStringLiteral(SONARVEX_PROGRAM_DIR "/INFO.URL"), File(QStringLiteral("INFO.URL"))));
    TfrmAbout box;
    QVERIFY(box.txtOnlineProductInformationValue->text().contains(
        QStringLiteral(">https://www.corvantis.example/sonarvex<")));
    QCOMPARE(box.txtOnlineProductInformationValue->cursor().shape(), Qt::PointingHandCursor);
    Q_EMIT box.txtOnlineProductInformationValue->linkActivated(QStringLiteral("x"));
    QCOMPARE(opened_, QList<QUrl>{QUrl(QStringLiteral("https://www.corvantis.example/sonarvex"))});
  }

  void linkDoesNothingWithoutAWebAddress() {
    TfrmAbout withoutFile;
    // The address is still shown; a click opens nothing.
    QVERIFY(withoutFile.txtOnlineProductInformationValue->text().contains(TfrmAbout::DefaultProductAddress()));
    withoutFile.txtOnlineProductInformationValueClick();
    QVERIFY(WriteFile(File(QStringLiteral("INFO.URL")), "[InternetShortcut]\r\nURL=file:///etc/passwd\r\n"));
    TfrmAbout localFile;
    localFile.txtOnlineProductInformationValueClick();
    QVERIFY(WriteFile(File(QStringLiteral("INFO.URL")), QByteArray("\0\xff\xfe garbage", 11)));
    TfrmAbout garbage;
    garbage.txtOnlineProductInformationValueClick();
    QVERIFY(opened_.isEmpty());
  }

  void enterAndEscBothCloseWithOk_data() {
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
  }

  void enterAndEscBothCloseWithOk() {
    QFETCH(int, key);
    TfrmAbout box;
    QTimer::singleShot(0, &box, [&box, key] {
      QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &box, Qt::Key(key));
    });
    QCOMPARE(box.exec(), int(QDialog::Accepted));
    QVERIFY(!box.isVisible());
  }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
