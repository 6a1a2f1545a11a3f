// Capture of what another program copies, measured against its floors. Needs an X display:
//
//   tests/e2e/x-session.sh build/bench/capture_bench [TEXTS]      (default 50)
//
// Runs the program's windows in this process on the real X11 platform, with a database in a
// temporary folder. Another X client (a selection owner on a connection of its own, answering
// from a thread) copies TEXTS distinct texts, then a few 3840 × 2160 pictures; for each the
// time from the change of owner to the moment the clip is in the list (its row committed) is
// taken. Printed beside the fixed 100 ms wait of every capture, and for pictures beside the
// bare cost of encoding the same picture as BMP and inserting it.
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchSupport.h"
#include "SelectionOwner.h"
#include "app/AppWindows.h"
#include "app/QuilletApplication.h"
#include "app/TQuilletMain.h"
#include "capture/BmpEncoder.h"
#include "platform/Platform.h"
#include "store/ClipDatabase.h"
#include "store/DateTimeText.h"
#include "support/TestDatabase.h"

namespace {

using quillet::bench::Percentile;
using quillet::bench::Settle;
using quillet::bench::Timing;
using quillet::bench::UntilClips;
using quillet::e2e::SelectionOwner;

void MakeDatabase(const QString& path) {
    quillet::test::MakeClipDatabase(path);
}

// A screen-like picture: gradients and blocks, which PNG compresses as it would a desktop.
QImage ScreenLikePicture() {
    QImage picture(3840, 2160, QImage::Format_RGB32);
    QPainter p(&picture);
    QLinearGradient sky(0, 0, 3840, 2160);
    sky.setColorAt(0, QColor(40, 80, 160));
    sky.setColorAt(1, QColor(220, 230, 250));
    p.fillRect(picture.rect(), sky);
    for (int i = 0; i < 40; ++i)
        p.fillRect(100 + i * 90, 200 + (i % 7) * 230, 80, 180, QColor::fromHsv(i * 9, 120, 230));
    p.end();
    return picture;
}

}  // namespace

int main(int argc, char** argv) {
    quillet::app::QuilletApplication application(argc, argv);
    const int texts = argc > 1 ? std::atoi(argv[1]) : 50;
    QTemporaryDir folder;
    MakeDatabase(folder.filePath(QStringLiteral("ClipsData.db")));
    QFile ini(folder.filePath(QStringLiteral("options.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Sound]\nEnableSound=0\n");
    ini.close();

    auto platform = quillet::platform::CreatePlatform();
    quillet::app::AppWindows windows(*platform, folder.path() + QLatin1Char('/'));
    windows.main->show();
    Settle(500);

    // Each owner lives until the next one has taken the clipboard over, as a program that copied
    // does: its going away would be a clipboard change of its own.
    std::unique_ptr<SelectionOwner> owner;
    std::vector<double> textMs;
    for (int i = 0; i < texts; ++i) {
        const qsizetype before = windows.main->clips().count();
        QElapsedTimer since;
        owner = std::make_unique<SelectionOwner>(
            SelectionOwner::Targets{{"UTF8_STRING", "benchmark text number " + std::to_string(i)}});
        since.start();
        const Timing timing = UntilClips(*windows.main, before + 1, since);
        if (timing.committed >= 0)
            textMs.push_back(timing.committed);
        Settle(50);
    }

    const QImage picture = ScreenLikePicture();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    std::vector<double> imageMs, imageShownMs;
    for (int i = 0; i < 5; ++i) {
        const qsizetype before = windows.main->clips().count();
        QElapsedTimer since;
        owner = std::make_unique<SelectionOwner>(
            SelectionOwner::Targets{{"image/png", png.toStdString()}});
        since.start();
        const Timing timing = UntilClips(*windows.main, before + 1, since);
        if (timing.committed >= 0)
            imageMs.push_back(timing.committed);
        if (timing.shown >= 0)
            imageShownMs.push_back(timing.shown);
        Settle(200);
    }

    // The floor of an image capture: encode the same picture and insert it.
    std::vector<double> bareMs;
    QTemporaryDir bareFolder;
    MakeDatabase(bareFolder.filePath(QStringLiteral("ClipsData.db")));
    auto db = quillet::store::ClipDatabase::OpenClipDatabase(
        bareFolder.filePath(QStringLiteral("ClipsData.db")));
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        const QByteArray bmp = quillet::capture::EncodeBmp(picture);
        quillet::store::ClipRow row;
        row.DataFormat = quillet::store::kImageClip;
        row.Title = QStringLiteral("Graphic ") + quillet::store::DateTimeText();
        row.Size = qint32(bmp.size());
        db.InsertClipboardImage(row, bmp);
        bareMs.push_back(t.nsecsElapsed() / 1e6);
    }

    const double textGoal = 100 + 15;
    const double bare = Percentile(bareMs, 0.5);
    const double imageGoal = 100 + 1.5 * bare;
    std::printf("%-44s %9s %9s %9s\n", "", "p50", "p95", "goal p95");
    std::printf("%-44s %9s %9s %9.1f\n", "fixed wait in every capture", "", "", 100.0);
    std::printf("%-44s %6.1f ms %6.1f ms %6.1f ms %s\n",
                ("text: change to committed row (" + std::to_string(textMs.size()) + ")").c_str(),
                Percentile(textMs, 0.5), Percentile(textMs, 0.95), textGoal,
                Percentile(textMs, 0.95) <= textGoal ? "met" : "MISSED");
    std::printf("%-44s %6.1f ms\n", "bare: encode 3840x2160 as BMP and insert", bare);
    std::printf("%-44s %6.1f ms %6.1f ms %6.1f ms %s\n",
                ("image 3840x2160 (" + std::to_string(imageMs.size()) + ")").c_str(),
                Percentile(imageMs, 0.5), Percentile(imageMs, 0.95), imageGoal,
                Percentile(imageMs, 0.95) <= imageGoal ? "met" : "MISSED");
    std::printf("%-44s %6.1f ms %6.1f ms\n", "image, until also shown in the preview",
                Percentile(imageShownMs, 0.5), Percentile(imageShownMs, 0.95));
    std::printf("(png on the clipboard: %lld bytes)\n", (long long)png.size());
    return 0;
}
