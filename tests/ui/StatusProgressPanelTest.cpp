// Status bar panel 1: green blocks of 6 pixels every 8 pixels, 2 pixels in from top and bottom.

#include <QImage>
#include <QTest>

#include "app/TStatusProgressPanel.h"

class StatusProgressPanelTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void blocksFollowTheProgressValue() {
    TStatusProgressPanel panel;
    panel.resize(126, 20);
    panel.SetProgress(3);
    const QImage image = panel.grab().toImage();
    const QColor green(0, 255, 0);
    auto at = [&](int x, int y) { return image.pixelColor(x, y); };
    for (int k = 0; k < 3; ++k) {
      QCOMPARE(at(8 * k, 2), green);
      QCOMPARE(at(8 * k + 5, 17), green);
      QVERIFY(at(8 * k + 6, 10) != green);  // the gap between blocks
      QVERIFY(at(8 * k, 1) != green);
      QVERIFY(at(8 * k, 18) != green);
    }
    QVERIFY(at(24, 10) != green);  // no fourth block

    panel.SetProgress(0);
    QVERIFY(panel.grab().toImage().pixelColor(0, 10) != green);
    panel.SetProgress(-4);
    QVERIFY(panel.grab().toImage().pixelColor(0, 10) != green);
    panel.SetProgress(1000);  // never drawn past the panel, never a crash
    QCOMPARE(panel.grab().toImage().pixelColor(120, 10), green);
  }

  void progressIsScaledToFifteenBlocks() {
    QCOMPARE(TStatusProgressPanel::ProgressBlocks(50, 100), 7);
    QCOMPARE(TStatusProgressPanel::ProgressBlocks(100, 100), 15);
    QCOMPARE(TStatusProgressPanel::ProgressBlocks(5, 0), 0);
    QCOMPARE(TStatusProgressPanel::ProgressBlocks(-50, 100), -7);  // truncates toward zero
    QCOMPARE(TStatusProgressPanel::ProgressBlocks(2000000000, 2000000000), 15);
  }
};

QTEST_MAIN(StatusProgressPanelTest)
#include "StatusProgressPanelTest.moc"
