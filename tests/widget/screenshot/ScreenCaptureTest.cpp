// The screenshot store against a real store and the application's clipboard.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "capture/ClipCapture.h"
#include "capture/ClipboardWriter.h"
#include "platform/fake/FakePlatform.h"
#include "screenshot/ScreenCapture.h"
#include "store/ClipDatabase.h"
#include "support/TestDatabase.h"

namespace quillet::screenshot {
namespace {

class RecordingSink final : public capture::CaptureSink {
  public:
    void WaitPumpingMessages(int) override {}
    void ClearPreviewReadOnly() override {}
    void AppendClip(store::ClipRow row) override { appended.push_back(std::move(row)); }
    void Repaint() override {}
    void SelectNewestClip() override { ++selections; }
    void PlayNotificationSound(const QString& fileName) override { sounds.push_back(fileName); }
    void ShowStatusMessage(const QString& text) override { messages.push_back(text); }
    void ClearShowWithoutCopy() override {}

    std::vector<store::ClipRow> appended;
    std::vector<QString> sounds;
    std::vector<QString> messages;
    int selections = 0;
};

QImage Region() {
    QImage image(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            image.setPixel(x, y, qRgb(40 * x, 90 * y, 7));
    return image;
}

struct StoreCase {
    const char* name;
    QImage image;
    // The length of the BMP file stored; 0 for no content.
    qint32 size;
};

// Test names show the case name rather than its bytes.
void PrintTo(const StoreCase& c, std::ostream* out) {
    *out << c.name;
}

class ScreenCaptureTest : public ::testing::TestWithParam<StoreCase> {
  protected:
    void SetUp() override {
        const QString path = dir.filePath(QStringLiteral("ClipsData.db"));
        test::MakeClipDatabase(path);
        db.emplace(store::ClipDatabase::OpenClipDatabase(path));
        screenCapture.setDatabase(&*db);
    }

    QTemporaryDir dir;
    std::optional<store::ClipDatabase> db;
    platform::fake::FakeScreenGrabber grabber;
    platform::fake::FakeClipboardReader reader;
    capture::ClipboardWriter clipboard;
    RecordingSink sink;
    bool enableText = true;
    bool enableImage = true;
    capture::ClipCapture capture{reader, clipboard, sink, enableText, enableImage};
    ScreenCapture screenCapture{grabber, clipboard, sink, capture};
};

TEST_P(ScreenCaptureTest, RegionIsStoredPutOnTheClipboardAndSelected) {
    const StoreCase& c = GetParam();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    capture.setLastClipText(QStringLiteral("before"));

    screenCapture.StoreScreenshotClip(c.image, ScreenshotKind::Region);

    ASSERT_EQ(sink.appended.size(), 1u);
    const store::ClipRow& row = sink.appended[0];
    EXPECT_EQ(row.DataFormat, store::kImageClip);
    EXPECT_EQ(row.Size, c.size);
    const QByteArray bmp = db->ReadClipContent(row.ID, store::kImageClip).bytes;
    EXPECT_EQ(bmp.size(), c.size);
    EXPECT_EQ(capture.LastClipText(), QString());
    EXPECT_EQ(sink.selections, 1);
    EXPECT_EQ(sink.messages, std::vector<QString>{QStringLiteral("Clip Captured")});

    // The clipboard write is the program's own, and leaves nothing of what was there before.
    EXPECT_TRUE(clipboard.IgnoreNextClipboardChange());
    const QMimeData* content = QGuiApplication::clipboard()->mimeData();
    const QStringList formats = content ? content->formats() : QStringList();
    EXPECT_FALSE(formats.contains(QStringLiteral("text/plain")));
    if (c.image.isNull()) {
        EXPECT_TRUE(bmp.isEmpty());
        // An empty clipboard: nothing that a reader could take for a picture.
        EXPECT_TRUE(formats.isEmpty()) << formats.join(u' ').toStdString();
    } else {
        EXPECT_EQ(QImage::fromData(bmp, "BMP").convertToFormat(QImage::Format_RGB32), c.image);
        EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                  c.image);
    }
}

INSTANTIATE_TEST_SUITE_P(ScreenCapture, ScreenCaptureTest,
                         ::testing::Values(StoreCase{"Picture", Region(), 54 + 3 * 2 * 4},
                                           // A region of zero width or height.
                                           StoreCase{"Empty", QImage(), 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::screenshot
