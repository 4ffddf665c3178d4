// The Play page with generated WAV files: loading, auto play, the time label, seeking only
// while playing, the error panel, volume and mute across files, and Previous/Next in the list.

#include <QCheckBox>
#include <QDir>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "app/ByteString.h"
#include "app/FormMain.h"
#include "app/TStatusProgressPanel.h"
#include "app/UiPrompts.h"
#include "core/UnitGlobals.h"
#include "player/TMediaEngine.h"
#include "player/TMediaPlayerPage.h"
#include "scan/TMP3ListView.h"
#include "shell/TProgramModules.h"
#include "search/TSearchPage.h"
#include "shell/TShellFolderTree.h"
#include "support/TMessageRecorder.h"

namespace {

// A mono 16-bit PCM WAV of the given length: a quiet square wave.
void WriteWav(const std::string& path, int seconds) {
  constexpr std::uint32_t rate = 8000;
  const std::uint32_t dataSize = rate * 2 * static_cast<std::uint32_t>(seconds);
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("RIFF", 4);
  u32(36 + dataSize);
  out.write("WAVEfmt ", 8);
  u32(16);
  u16(1);
  u16(1);
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  out.write("data", 4);
  u32(dataSize);
  for (std::uint32_t i = 0; i < dataSize / 2; ++i) u16(static_cast<std::uint16_t>((i / 20) % 2 != 0 ? 800 : -800));
}

template <typename T>
T* Child(QObject* parent, const char* name) {
  return parent->findChild<T*>(QLatin1String(name));
}

}  // namespace

class MediaPlayerPageTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::string File(const char* name) const { return QStringToPath(dir_.path()) + "/" + name; }

  static bool FileIsOpen(const std::string& path) {
    std::error_code error;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
      if (std::filesystem::read_symlink(fd.path(), error) == path) return true;
    }
    return false;
  }

  static bool WaitPlaying(const TMediaEngine* player) {
    return QTest::qWaitFor([player] { return player->State() == TMediaEngine::TState::Playing; }, 5000);
  }

 private Q_SLOTS:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    WriteWav(File("one.wav"), 6);
    WriteWav(File("two.wav"), 3);
    std::ofstream(File("notmedia.wav")) << "plain text, no media in here\n";
  }

  void loadsStoppedAndSeeksOnlyWhilePlaying() {
    TMediaPlayerPage page;
    page.resize(600, 180);
    page.show();
    TMediaEngine* player = page.Engine();
    auto* slider = Child<QSlider>(&page, "tbMP3Position");
    auto* time = Child<QLabel>(&page, "txtCurMP3Length");
    page.LoadFile(File("one.wav"), QStringLiteral("  Now playing one.wav"));
    QCOMPARE(Child<QLabel>(&page, "txtNowPlaying")->text(), QStringLiteral("  Now playing one.wav"));
    // The heading's face, set when the page was first shown.
    QVERIFY(Child<QLabel>(&page, "txtNowPlaying")->font().bold());
    QCOMPARE(Child<QLabel>(&page, "txtNowPlaying")->font().pixelSize(), 16);
    QVERIFY(QTest::qWaitFor([&] { return player->Loaded(); }, 5000));
    QVERIFY(player->State() == TMediaEngine::TState::Stopped);
    QVERIFY(page.PositionGuard());  // the load's own tick found nothing playing
    QVERIFY(time->text().isEmpty());
    slider->setValue(1500);  // stopped: no seek
    QCOMPARE(player->Position(), 0);

    Child<QToolButton>(&page, "btnPlay")->click();
    QVERIFY(WaitPlaying(player));
    QVERIFY(QTest::qWaitFor([&] { return !time->text().isEmpty(); }, 3000));
    QVERIFY2(time->text().endsWith(QStringLiteral(" / 00:00:06  ")), qPrintable(time->text()));
    QVERIFY(!page.PositionGuard());
    slider->setValue(2000);  // playing: the slider seeks
    QVERIFY(QTest::qWaitFor([&] { return player->Position() >= 1900; }, 2000));

    // Paused, a tick sets the guard and leaves slider and label alone.
    Child<QToolButton>(&page, "btnPause")->click();
    QVERIFY(QTest::qWaitFor([&] { return player->State() == TMediaEngine::TState::Paused; }, 2000));
    const QString label = time->text();
    page.timMP3PlayerTimer();
    slider->setValue(100);
    QVERIFY(page.PositionGuard());
    QCOMPARE(slider->value(), 100);
    QCOMPARE(time->text(), label);
    slider->setValue(300);
    QVERIFY(player->Position() >= 1900);
    // Closed means closed: the file actions may delete or overwrite it next.
    QVERIFY(FileIsOpen(File("one.wav")));
    page.StopAndClose();
    QVERIFY(page.Engine()->Source().isEmpty());
    QVERIFY(QTest::qWaitFor([this] { return !FileIsOpen(File("one.wav")); }, 2000));
  }

  void autoPlayStartsAndKeepsVolumeAndMuteAcrossFiles() {
    TMediaPlayerPage page;
    page.show();
    Child<QCheckBox>(&page, "chkAutoPlay")->setChecked(true);
    auto* volume = Child<QSlider>(&page, "tbMP3PlayVolume");
    auto* mute = Child<QCheckBox>(&page, "chkMP3PlayMute");
    page.LoadFile(File("one.wav"), {});
    QVERIFY(WaitPlaying(page.Engine()));
    QVERIFY(QTest::qWaitFor([&] { return !Child<QLabel>(&page, "txtCurMP3Length")->text().isEmpty(); }, 2500));
    volume->setValue(300);
    mute->click();
    QVERIFY(page.Engine()->Muted());

    page.LoadFile(File("two.wav"), {});
    QVERIFY(WaitPlaying(page.Engine()));
    QCOMPARE(volume->value(), 300);
    QVERIFY(mute->isChecked());
    QVERIFY(page.Engine()->Muted());
    QVERIFY(qAbs(page.Engine()->Volume() - 0.3) < 0.001);
    mute->click();
    QVERIFY(!page.Engine()->Muted());
  }

  void unattendedPageStartsTheBackendOnlyWhenAskedToPlay() {
    const int attendedVolume = [] {
      TMediaPlayerPage page;
      return Child<QSlider>(&page, "tbMP3PlayVolume")->value();
    }();
    SetUnattended(true);
    TMediaPlayerPage page;
    SetUnattended(false);
    QVERIFY(page.Engine() == nullptr);
    QCOMPARE(Child<QSlider>(&page, "tbMP3PlayVolume")->value(), attendedVolume);
    for (const char* button : {"btnPlay", "btnPause", "btnStop"}) Child<QToolButton>(&page, button)->click();
    page.timMP3PlayerTimer();
    page.StopAndClose();
    QVERIFY(page.Engine() == nullptr);
    Child<QCheckBox>(&page, "chkAutoPlay")->setChecked(true);
    page.LoadFile(File("two.wav"), {});
    QVERIFY(page.Engine() != nullptr);
    QVERIFY(WaitPlaying(page.Engine()));
  }

  void mediaModuleThatCannotBeLoadedIsReportedOnce() {
    QTemporaryDir empty;
    SetModuleFolders({empty.path()});
    TMessageRecorder boxes;
    SetUnattended(true);  // no player made at once
    TMediaPlayerPage page;
    SetUnattended(false);
    page.LoadFile(File("one.wav"), {});
    page.LoadFile(File("two.wav"), {});
    SetModuleFolders({});
    QVERIFY(page.Engine() == nullptr);
    QVERIFY(page.ShowsError());
    QCOMPARE(boxes.Requests.size(), 1);
    const QString text = boxes.Requests[0].Text;
    QVERIFY2(text.startsWith(QStringLiteral("The media player could not be started:\r\n\r\n")) &&
                 text.contains(QStringLiteral(" was not found in ") + empty.path()),
             qPrintable(text));
  }

  void filesThatCannotBeOpenedShowTheErrorPanel() {
    TMediaPlayerPage page;
    page.resize(500, 180);
    page.show();
    for (const char* name : {"missing.mp3", "notmedia.wav"}) {
      page.LoadFile(File(name), {});
      QVERIFY2(QTest::qWaitFor([&] { return page.ShowsError(); }, 5000), name);
      const QString text = Child<QLabel>(&page, "txtMediaPlayerError")->text();
      QVERIFY(text.startsWith(QStringLiteral("Error loading\r\n")));
      QVERIFY(text.endsWith(QLatin1String(name) + QStringLiteral("\r\nin media player.")));
      QVERIFY(QTest::qWaitFor([&] { return !FileIsOpen(File(name)); }, 2000));
    }
    // A long path is shortened to the label, leading folders first, and follows its width.
    const std::string deep = std::string(40, 'a') + "/" + std::string(40, 'b');
    QVERIFY(QDir(dir_.path()).mkpath(ToQString(deep)));
    std::ofstream(File((deep + "/bad.mp3").c_str())) << "no media";
    auto* label = Child<QLabel>(&page, "txtMediaPlayerError");
    page.LoadFile(File((deep + "/bad.mp3").c_str()), {});
    QVERIFY(QTest::qWaitFor([&] { return page.ShowsError(); }, 5000));
    QVERIFY2(label->text().contains(QStringLiteral("\r\n.../")), qPrintable(label->text()));
    QVERIFY(label->text().contains(QStringLiteral("/bad.mp3\r\n")));
    page.resize(1400, 180);
    QVERIFY(QTest::qWaitFor([&] { return label->text().contains(PathToQString(File(deep.c_str()))); }, 2000));
    // The next good file brings the player back.
    page.LoadFile(File("one.wav"), {});
    QVERIFY(!page.ShowsError());
    QVERIFY(QTest::qWaitFor([&] { return page.Engine()->Loaded(); }, 5000));
    QVERIFY(!page.ShowsError());
  }

  void previousAndNextMoveTheSelectionWithoutWrapping() {
    QTemporaryDir programDir;
    QTemporaryDir media;
    SetProgramFolder(QStringToPath(programDir.path()));
    WriteWav(QStringToPath(media.path()) + "/a.mp3", 1);
    WriteWav(QStringToPath(media.path()) + "/b.mp3", 1);
    TMessageRecorder boxes;  // no SEARCH.CFG here: reported once
    TfrmMain w;
    w.show();
    QVERIFY(QTest::qWaitFor([&] { return w.FirstActivationDone(); }, 5000));
    QVERIFY(Child<TShellFolderTree>(&w, "tvLeftFolders")->SelectPath(QStringToPath(media.path())));
    QCOMPARE(w.ListCurrentRow(), 0);
    auto* page = Child<TMediaPlayerPage>(&w, "pageMediaPlayer");
    QVERIFY(page->Engine()->Source().toLocalFile().endsWith(QStringLiteral("/a.mp3")));
    // The same selection prepared the search page: the row's columns as proposals.
    QCOMPARE(Child<QComboBox>(&w, "cbWhatToSearch")->currentText(), QStringLiteral("By Name: a.mp3"));
    QCOMPARE(Child<QLabel>(&w, "txtNowPlaying")->text(), QStringLiteral("  Now playing a.mp3"));
    Child<QToolButton>(page, "tbMP3PlayPrevious")->click();
    QCOMPARE(w.ListCurrentRow(), 0);
    Child<QToolButton>(page, "tbMP3PlayNext")->click();
    QCOMPARE(w.ListCurrentRow(), 1);
    QVERIFY(page->Engine()->Source().toLocalFile().endsWith(QStringLiteral("/b.mp3")));
    Child<QToolButton>(page, "tbMP3PlayNext")->click();
    QCOMPARE(w.ListCurrentRow(), 1);
    QCOMPARE(boxes.Requests.size(), 1);
    // The search page's loading progress reaches the status bar.
    Child<TSearchPage>(&w, "pageVarnel")->OnProgressChange(7, 14);
    QCOMPARE(Child<TStatusProgressPanel>(&w, "sbStatusBarPanel1")->Progress(), 7);
  }
};

QTEST_MAIN(MediaPlayerPageTest)
#include "MediaPlayerPageTest.moc"
