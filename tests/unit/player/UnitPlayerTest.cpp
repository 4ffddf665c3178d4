#include <gtest/gtest.h>

#include "player/UnitMpVolume.h"
#include "player/UnitPlayerText.h"

namespace {

class FakeOutput : public TMpAudioDevice {
 public:
  double Level() const override { return level; }
  void SetLevel(double l) override { level = l; }
  void SetMuted(bool m) override { muted = m; }
  double level = 1.0;
  bool muted = false;
};

TEST(PlayerTime, FormatsFractionOfADay) {
  const struct {
    long long ms;
    const char* text;
  } cases[] = {{0, "00:00:00"},           {999, "00:00:00"},        {65000, "00:01:05"},
               {222000, "00:03:42"},      {3600000, "01:00:00"},    {25LL * 3600000, "01:00:00"},
               {86399999, "23:59:59"},    {-5, "00:00:00"}};
  for (const auto& c : cases) EXPECT_EQ(FormatPlayTime(c.ms), c.text) << c.ms;
  EXPECT_EQ(FormatPlayPosition(65000, 222000), "00:01:05 / 00:03:42  ");
}

TEST(PlayerText, NowPlayingNeedsArtistAndTitle) {
  EXPECT_EQ(NowPlayingText("Song", "Band", "first"), "  Now playing Band - Song");
  EXPECT_EQ(NowPlayingText("Song", "", "first"), "  Now playing first");
  EXPECT_EQ(NowPlayingText("", "Band", "first"), "  Now playing first");
}

TEST(PlayerText, ShortenedPathKeepsTheFileName) {
  auto upTo = [](std::size_t n) { return [n](const std::string& s) { return s.size() <= n; }; };
  const std::string path = "/music/rock/live/track.mp3";
  EXPECT_EQ(ShortenPath(path, upTo(100)), path);
  EXPECT_EQ(ShortenPath(path, upTo(20)), ".../live/track.mp3");
  EXPECT_EQ(ShortenPath(path, upTo(3)), ".../track.mp3");
  EXPECT_EQ(ShortenPath("track.mp3", upTo(3)), "track.mp3");
  EXPECT_EQ(PlayerErrorText("x/y"), "Error loading\r\nx/y\r\nin media player.");
}

TEST(MpVolume, MapsLinearlyAndReadsBack) {
  FakeOutput out;
  for (int v : {0, 1, 250, 999, 1000}) {
    SetMpVolume(&out, v);
    EXPECT_EQ(GetMpVolume(&out), v);
  }
  SetMpVolume(&out, 5000);
  EXPECT_DOUBLE_EQ(out.level, 1.0);
  SetMpVolume(&out, -3);
  EXPECT_DOUBLE_EQ(out.level, 0.0);
  SetMpAudio(&out, false);
  EXPECT_TRUE(out.muted);
  SetMpAudio(&out, true);
  EXPECT_FALSE(out.muted);
  // Without a device nothing happens and the volume reads as 0.
  EXPECT_EQ(GetMpVolume(nullptr), 0);
  SetMpVolume(nullptr, 10);
  SetMpAudio(nullptr, false);
}

}  // namespace
