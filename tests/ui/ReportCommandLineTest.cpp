// End-to-end runs of the built program's unattended report, from a copy of its folder, with no
// display at all.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <utility>

class ReportCommandLineTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    const QDir source(QStringLiteral(SONARVEX_PROGRAM_DIR));
    QVERIFY(QDir().mkpath(Program(QString())));
    for (const QString& name : source.entryList(QDir::Files))
      QVERIFY(QFile::copy(source.filePath(name), Program(name)));
    QVERIFY(QFile::exists(Program(QStringLiteral("sonarvex"))));
    Put(QStringLiteral("music/a.mp3"), "audio");
    Put(QStringLiteral("music/sub/b.MP3"), "audio");
    Put(QStringLiteral("music/sub/c.txt"), "text");
  }

  void cleanup() { dir_.reset(); }

  void reportsOfEveryKind_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("programFile");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("firstLine");
    // Relative names: the program runs in the scratch folder.
    const QString music = QStringLiteral("music");
    QTest::newRow("lower-case keyword") << QStringList{QStringLiteral("/report"), QStringLiteral("3"), QStringLiteral("out.csv"), music}
                                        << QStringLiteral("out.csv") << QStringLiteral("REPORT.TXT") << 3
                                        << QStringLiteral("Name,");
    QTest::newRow("type not a number") << QStringList{QStringLiteral("/REPORT"), QStringLiteral("x"), QStringLiteral("out.htm"), music}
                                       << QStringLiteral("out.htm") << QStringLiteral("REPORT.HTM") << 0
                                       << QStringLiteral("<html>");
    QTest::newRow("same location twice") << QStringList{QStringLiteral("/REPORT"), QStringLiteral("0"), QStringLiteral("out.txt"), music, music}
                                         << QStringLiteral("out.txt") << QStringLiteral("REPORT.TXT") << 14
                                         << QStringLiteral("Sonarvex Report");
  }

  void reportsOfEveryKind() {
    QFETCH(QStringList, args);
    QFETCH(QString, output);
    QFETCH(QString, programFile);
    QFETCH(int, lines);
    QFETCH(QString, firstLine);
    Put(output, "an older report");  // replaced
    QCOMPARE(Run(args), 0);
    QCOMPARE(stderr_, QByteArray());
    const QByteArray copy = Read(Path(output));
    QCOMPARE(copy, Read(Program(programFile)));
    QVERIFY(copy.endsWith("\r\n"));
    QVERIFY(!copy.contains("older"));
    const QList<QByteArray> rows = copy.left(copy.size() - 2).split('\n');
    if (lines > 0) QCOMPARE(rows.size(), lines);
    QVERIFY(QString::fromUtf8(rows.first()).startsWith(firstLine));
    for (const char* name : {"Reports.itc", "Default.itc", "CUSTTARG.CFG", "MAIN.INI"})
      QVERIFY2(QFile::exists(Program(QLatin1String(name))), name);
    if (programFile == QStringLiteral("REPORT.HTM")) {
      QCOMPARE(copy.count("<tr>"), 3);
      QVERIFY(copy.contains("<head>\r\n<meta charset=\"utf-8\">\r\n"));
    }
  }

  void noLocationsGivesHeaderAndCaptionRow() {
    QCOMPARE(Run({QStringLiteral("/REPORT"), QStringLiteral("2"), QStringLiteral("out.htm")}), 0);
    const QByteArray page = Read(Path(QStringLiteral("out.htm")));
    QVERIFY(page.contains("Locations to audit:<br>\r\n<br></font>\r\n"));
    QCOMPARE(page.count("<tr>"), 1);
  }

  // Nobody can ask for help in such a run: a damaged help collection is not its failure.
  void damagedHelpLeavesTheReportAlone() {
    QVERIFY(QFile::remove(Program(QStringLiteral("SONARVEX.qhc"))));
    Put(QStringLiteral("bin/SONARVEX.qhc"), QByteArray(4096, '\x5a'));
    QCOMPARE(Run({QStringLiteral("/REPORT"), QStringLiteral("0"), QStringLiteral("out.txt"), QStringLiteral("music")}), 0);
    QCOMPARE(stderr_, QByteArray());
  }

  void failuresEndWithAStatusAndOneLine_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString blocked = QStringLiteral("music/a.mp3/out.csv");  // below a file
    QTest::newRow("unwritable output") << QStringList{QStringLiteral("/REPORT"), QStringLiteral("3"), blocked}
                                       << 1 << QStringLiteral("could not be copied");
    QTest::newRow("type out of range") << QStringList{QStringLiteral("/REPORT"), QStringLiteral("7"), QStringLiteral("o")}
                                       << 2 << QStringLiteral("0 to 4");
    QTest::newRow("no output") << QStringList{QStringLiteral("/REPORT")} << 2 << QStringLiteral("no output file");
    QTest::newRow("settings not saved") << QStringList{QStringLiteral("/REPORT"), QStringLiteral("0"), QStringLiteral("o.txt")}
                                        << 1 << QStringLiteral("Some settings could not be saved:");
  }

  void failuresEndWithAStatusAndOneLine() {
    QFETCH(QStringList, args);
    QFETCH(int, status);
    QFETCH(QString, message);
    // MAIN.INI cannot be replaced while a folder stands in its place.
    if (QString::fromLatin1(QTest::currentDataTag()) == QStringLiteral("settings not saved"))
      QVERIFY(QDir().mkpath(Program(QStringLiteral("MAIN.INI/x"))));
    QCOMPARE(Run(args), status);
    QVERIFY2(QString::fromLocal8Bit(stderr_).contains(message), stderr_.constData());
    QCOMPARE(stderr_.count('\n'), 1);
  }

  void reportRunNeverLoadsTheWebEngine() {
    // The dynamic loader's trace of the whole run, the main window's start and close included.
    QCOMPARE(Run({QStringLiteral("/REPORT"), QStringLiteral("2"), QStringLiteral("out.htm"), QStringLiteral("music")},
                 {{QStringLiteral("LD_DEBUG"), QStringLiteral("libs")}}),
             0);
    QVERIFY(stderr_.contains("libQt6Widgets"));
    QVERIFY(!stderr_.contains("WebEngine"));
  }

  void helpAndVersionNeedNoDisplay() {
    QCOMPARE(Run({QStringLiteral("--version")}), 0);
    QCOMPARE(stdout_, QByteArray("Corvantis Sonarvex 1.5\n"));
    QCOMPARE(Run({QStringLiteral("--help")}), 0);
    QVERIFY(stdout_.contains("/REPORT type output"));
  }

 private:
  QString Path(const QString& name) const { return dir_->filePath(name); }
  QString Program(const QString& name) const { return dir_->filePath(QStringLiteral("bin/") + name); }
  void Put(const QString& name, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(Path(name)).path());
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  }
  static QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  int Run(const QStringList& args, const QList<std::pair<QString, QString>>& extraEnvironment = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "QTWEBENGINE_DISABLE_SANDBOX"})
      env.remove(QLatin1String(name));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    for (const auto& [name, value] : extraEnvironment) env.insert(name, value);
    if (!env.contains(QStringLiteral("XDG_RUNTIME_DIR"))) {
      // Qt would say on standard error that it made one up.
      const QString runtime = Path(QStringLiteral("runtime"));
      QDir().mkpath(runtime);
      QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
      env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    }
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir_->path());
    process.start(Program(QStringLiteral("sonarvex")), args);
    if (!process.waitForFinished(60000)) {
      process.kill();
      process.waitForFinished();
      return -1;
    }
    stdout_ = process.readAllStandardOutput();
    stderr_ = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  }

  std::unique_ptr<QTemporaryDir> dir_;
  QByteArray stdout_;
  QByteArray stderr_;
};

QTEST_MAIN(ReportCommandLineTest)
#include "ReportCommandLineTest.moc"
