// Build helper: renders the program's SVG icon as PNG files for the icon theme, one
// OUTDIR/<size>x<size>/apps/sonarvex.png per size given.
//   sonarvex-render-icon SVG OUTDIR SIZE...

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char** argv) {
  // No display is needed to draw into an image, and a build machine has none.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QStringList args = QCoreApplication::arguments();
  QTextStream err(stderr);
  if (args.size() < 4) {
    err << "usage: sonarvex-render-icon SVG OUTDIR SIZE...\n";
    return 2;
  }
  for (qsizetype i = 3; i < args.size(); ++i) {
    const int size = args.at(i).toInt();
    QImageReader reader(args.at(1));
    reader.setScaledSize(QSize(size, size));
    QImage image = reader.read();
    if (size <= 0 || image.isNull()) {
      err << "cannot render " << args.at(1) << " at " << args.at(i) << ": " << reader.errorString() << "\n";
      return 1;
    }
    const QString folder = args.at(2) + QStringLiteral("/%1x%1/apps").arg(size);
    if (!QDir().mkpath(folder) || !image.save(folder + QStringLiteral("/sonarvex.png"), "PNG")) {
      err << "cannot write " << folder << "/sonarvex.png\n";
      return 1;
    }
  }
  return 0;
}
