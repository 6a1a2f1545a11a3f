// The X11 clipboard backend against real owners: xclip, and small owners written here.
#include <gtest/gtest.h>
#include <poll.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "SelectionOwner.h"
#include "XSessionTools.h"
#include "platform/x11/X11ClipboardChangeSource.h"
#include "platform/x11/X11ClipboardConnection.h"
#include "platform/x11/X11ClipboardReader.h"

namespace quillet::e2e {
namespace {

using platform::ClipboardOffer;
using platform::X11ClipboardChangeSource;
using platform::X11ClipboardConnection;
using platform::X11ClipboardReader;
using namespace std::chrono_literals;

constexpr auto kBudget = 3000ms;

void Pump(int ms) {
    WaitFor([] { return false; }, ms);
}

std::string Bytes(const QByteArray& data) {
    return std::string(data.constData(), data.size());
}

// A plain connection of the test's own, to look at and to clear the clipboard without the code
// under test.
class RawDisplay {
  public:
    RawDisplay() : c_(xcb_connect(nullptr, nullptr)) {}
    ~RawDisplay() { xcb_disconnect(c_); }

    xcb_connection_t* get() const { return c_; }

    xcb_atom_t atom(const std::string& name) const {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply{
            xcb_intern_atom_reply(c_, xcb_intern_atom(c_, 0, uint16_t(name.size()), name.data()),
                                  nullptr),
            &std::free};
        return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    }

    xcb_window_t owner() const {
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply{
            xcb_get_selection_owner_reply(c_, xcb_get_selection_owner(c_, atom("CLIPBOARD")),
                                          nullptr),
            &std::free};
        return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
    }

    void clearClipboard() const {
        xcb_set_selection_owner(c_, XCB_WINDOW_NONE, atom("CLIPBOARD"), XCB_CURRENT_TIME);
        owner();  // a round trip
    }

    // A new unmapped window that takes the clipboard; waits until it owns it.
    xcb_window_t takeClipboard() const {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
        const xcb_window_t window = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_set_selection_owner(c_, window, atom("CLIPBOARD"), XCB_CURRENT_TIME);
        EXPECT_EQ(owner(), window);
        return window;
    }

  private:
    xcb_connection_t* c_;
};

class X11ClipboardE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(connection->valid());
        raw.clearClipboard();
    }
    void TearDown() override {
        changes.leave();
        for (auto& owner : owners) {
            owner->kill();
            owner->waitForFinished();
        }
        raw.clearClipboard();
    }

    // Starts xclip as the clipboard owner of `target`, fed with `data` or reading `file`;
    // returns once it owns the clipboard.
    QProcess& copy(const std::string& data, const QString& target = QStringLiteral("UTF8_STRING"),
                   const QString& file = {}) {
        const xcb_window_t before = raw.owner();
        auto process = std::make_unique<QProcess>();
        QStringList args{QStringLiteral("-quiet"), QStringLiteral("-selection"),
                         QStringLiteral("clipboard"), QStringLiteral("-t"), target};
        if (!file.isEmpty())
            args << QStringLiteral("-i") << file;
        process->start(QStringLiteral("xclip"), args);
        EXPECT_TRUE(process->waitForStarted());
        if (file.isEmpty()) {
            process->write(data.data(), qint64(data.size()));
            process->closeWriteChannel();
        }
        EXPECT_TRUE(WaitFor([&] {
            const xcb_window_t now = raw.owner();
            return now != XCB_WINDOW_NONE && now != before;
        })) << "xclip did not take the clipboard";
        owners.push_back(std::move(process));
        return *owners.back();
    }

    QStringList ownerTargets() {
        return RunTool(QStringLiteral("xclip"), {QStringLiteral("-o"), QStringLiteral("-selection"),
                                                 QStringLiteral("clipboard"), QStringLiteral("-t"),
                                                 QStringLiteral("TARGETS")})
            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }

    RawDisplay raw;
    std::shared_ptr<X11ClipboardConnection> connection = std::make_shared<X11ClipboardConnection>();
    X11ClipboardReader reader{connection};
    X11ClipboardChangeSource changes{connection};
    std::vector<std::unique_ptr<QProcess>> owners;
    QTemporaryDir dir;
};

// --- Change notifications ---------------------------------------------------------------------

TEST_F(X11ClipboardE2E, JoinGivesOneChangeFromTheEventLoopThenOnePerCopyAndNoneAfterLeave) {
    int count = 0;
    changes.join([&] { ++count; });
    EXPECT_EQ(count, 0) << "the first change must not come from inside join()";
    ASSERT_TRUE(WaitFor([&] { return count == 1; }));

    copy("first");
    ASSERT_TRUE(WaitFor([&] { return count == 2; }));
    copy("second");  // takes the clipboard from the first xclip, which then exits
    ASSERT_TRUE(WaitFor([&] { return count == 3; }));
    Pump(300);
    EXPECT_EQ(count, 3);

    changes.leave();
    copy("third");
    Pump(300);
    EXPECT_EQ(count, 3);
}

TEST_F(X11ClipboardE2E, LeaveDropsTheJoinChangeAndRejoinReplacesTheHandler) {
    int first = 0;
    int second = 0;
    changes.join([&] { ++first; });
    changes.leave();
    Pump(200);
    EXPECT_EQ(first, 0);

    changes.join([&] { ++first; });
    changes.join([&] { ++second; });
    ASSERT_TRUE(WaitFor([&] { return second == 1; }));
    Pump(200);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);

    // The owner's end empties the clipboard: a change too.
    QProcess& owner = copy("gone soon");
    ASSERT_TRUE(WaitFor([&] { return second == 2; }));
    owner.kill();
    ASSERT_TRUE(WaitFor([&] { return second == 3; }));
}

// --- Offer --------------------------------------------------------------------------------------

struct OfferCase {
    const char* target;
    bool text;
    bool image;
};

class X11ClipboardOfferE2E : public X11ClipboardE2E,
                             public ::testing::WithParamInterface<OfferCase> {};

TEST_P(X11ClipboardOfferE2E, ListsTheOwnersTargetsInOrderAndFlagsTheKinds) {
    copy("content", QString::fromLatin1(GetParam().target));
    const QStringList expected = ownerTargets();
    ASSERT_FALSE(expected.isEmpty());

    const std::optional<ClipboardOffer> offer = reader.offer(kBudget);
    ASSERT_TRUE(offer);
    std::vector<std::string> expectedFormats;
    for (const QString& name : expected)
        expectedFormats.push_back(name.toStdString());
    EXPECT_EQ(offer->formats, expectedFormats);
    EXPECT_EQ(offer->text, GetParam().text);
    EXPECT_EQ(offer->image, GetParam().image);
    EXPECT_FALSE(offer->secret);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, X11ClipboardOfferE2E,
    ::testing::Values(OfferCase{"UTF8_STRING", true, false}, OfferCase{"STRING", true, false},
                      OfferCase{"text/plain", true, false}, OfferCase{"COMPOUND_TEXT", true, false},
                      OfferCase{"image/png", false, true}, OfferCase{"image/bmp", false, true},
                      OfferCase{"image/x-not-a-format", false, false},
                      OfferCase{"application/octet-stream", false, false}));

// --- Text ---------------------------------------------------------------------------------------

struct TextCase {
    const char* name;
    const char* target;
    std::string input;
    std::string expected;
};

class X11ClipboardTextE2E : public X11ClipboardE2E,
                            public ::testing::WithParamInterface<TextCase> {};

TEST_P(X11ClipboardTextE2E, ReadsTheWholeTextAsUtf8) {
    copy(GetParam().input, QString::fromLatin1(GetParam().target));
    const std::optional<std::string> text = reader.text(kBudget);
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, GetParam().expected);
    EXPECT_FALSE(reader.image(kBudget));
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Encodings, X11ClipboardTextE2E,
    ::testing::Values(TextCase{"Ascii", "UTF8_STRING", "plain words", "plain words"},
                      TextCase{"NonAscii", "UTF8_STRING", "Grüße, 한국어", "Grüße, 한국어"},
                      TextCase{"OutsideTheBmp", "UTF8_STRING", "music 𝄞 and 😀", "music 𝄞 and 😀"},
                      TextCase{"ZeroAndLineBreaks", "UTF8_STRING", "a\0b\r\nc\n"s, "a\0b\r\nc\n"s},
                      TextCase{"InvalidUtf8Repaired", "UTF8_STRING", "ok\xff!", "ok\uFFFD!"},
                      TextCase{"Latin1String", "STRING", "caf\xe9 na\xefve", "café naïve"},
                      TextCase{"PlainUtf8", "text/plain", "naïve", "naïve"},
                      TextCase{"PlainNotUtf8", "text/plain", "caf\xe9", "café"},
                      TextCase{"CompoundLatin1", "COMPOUND_TEXT", "caf\xe9", "café"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Images -------------------------------------------------------------------------------------

class X11ClipboardImageE2E : public X11ClipboardE2E {
  protected:
    // A PNG of random pixels, which does not compress.
    QString writeNoisePng(int side) {
        QImage picture(side, side, QImage::Format_RGB32);
        for (int y = 0; y < side; ++y) {
            auto* line = reinterpret_cast<quint32*>(picture.scanLine(y));
            QRandomGenerator::global()->fillRange(line, side);
        }
        const QString path = dir.filePath(QStringLiteral("noise%1.png").arg(side));
        EXPECT_TRUE(picture.save(path, "PNG"));
        return path;
    }

    static QByteArray contents(const QString& path) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
};

TEST_F(X11ClipboardImageE2E, ReadsSmallAndChunkedPicturesWhole) {
    const QString small = writeNoisePng(16);
    const QString large = writeNoisePng(2400);
    // Larger than one request can carry, so the owner must send it in chunks.
    const qint64 maxRequestBytes = qint64(xcb_get_maximum_request_length(raw.get())) * 4;
    ASSERT_GT(QFileInfo(large).size(), maxRequestBytes);

    for (const QString& path : {small, large}) {
        SCOPED_TRACE(path.toStdString());
        copy({}, QStringLiteral("image/png"), path);
        const std::optional<ClipboardOffer> offer = reader.offer(kBudget);
        ASSERT_TRUE(offer);
        EXPECT_TRUE(offer->image);
        EXPECT_FALSE(offer->text);
        const auto picture = reader.image(kBudget);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->mimeType, "image/png");
        const QByteArray expected = contents(path);
        EXPECT_EQ(picture->bytes.size(), std::size_t(expected.size()));
        // Compared whole but not printed: a failure would dump megabytes.
        EXPECT_TRUE(std::string(picture->bytes.begin(), picture->bytes.end()) == Bytes(expected));
        EXPECT_FALSE(reader.text(kBudget));
    }

    // A reader with a lower limit refuses the chunked picture rather than growing without end.
    X11ClipboardReader limited{connection, std::size_t(maxRequestBytes)};
    EXPECT_FALSE(limited.image(kBudget));
    EXPECT_TRUE(limited.offer(kBudget));
}

TEST_F(X11ClipboardImageE2E, PrefersPngThenBmpAndSkipsUnreadableTypes) {
    const std::string png = Bytes(contents(writeNoisePng(4)));
    {
        SelectionOwner owner(
            {{"image/x-unreadable", "?"}, {"image/bmp", "BM"}, {"image/png", png}});
        const auto picture = reader.image(kBudget);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->mimeType, "image/png");
        EXPECT_EQ(std::string(picture->bytes.begin(), picture->bytes.end()), png);
    }
    {
        SelectionOwner owner({{"image/x-unreadable", "?"}, {"image/bmp", "BM"}});
        const auto picture = reader.image(kBudget);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->mimeType, "image/bmp");
        EXPECT_EQ(std::string(picture->bytes.begin(), picture->bytes.end()), "BM");
    }
    {
        SelectionOwner owner({{"image/x-unreadable", "?"}, {"UTF8_STRING", "words"}});
        EXPECT_FALSE(reader.image(kBudget));
        EXPECT_EQ(reader.text(kBudget), "words");
    }
}

// --- Secret, silent and missing owners ----------------------------------------------------------

TEST_F(X11ClipboardE2E, PasswordManagerHintMarksTheOfferSecretOnlyWhenItSaysSecret) {
    const struct {
        std::string hint;
        bool secret;
    } cases[] = {{"secret", true}, {"public", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hint);
        SelectionOwner owner({{"UTF8_STRING", "hunter2"}, {"x-kde-passwordManagerHint", c.hint}});
        const std::optional<ClipboardOffer> offer = reader.offer(kBudget);
        ASSERT_TRUE(offer);
        EXPECT_TRUE(offer->text);
        EXPECT_EQ(offer->secret, c.secret);
        EXPECT_EQ(offer->formats, (std::vector<std::string>{"TARGETS", "UTF8_STRING",
                                                            "x-kde-passwordManagerHint"}));
    }
}

TEST_F(X11ClipboardE2E, SilentOwnerGivesNothingWithinTheBudgetWhileTheEventLoopRuns) {
    // This owner's connection never reads its events, so it never answers a request.
    RawDisplay silent;
    silent.takeClipboard();

    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);

    const std::function<bool()> reads[] = {
        [&] { return reader.offer(400ms).has_value(); },
        [&] { return reader.text(400ms).has_value(); },
        [&] { return reader.image(400ms).has_value(); },
    };
    for (const auto& read : reads) {
        const int ticksBefore = ticks;
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(read());
        EXPECT_GE(clock.elapsed(), 380);
        EXPECT_LT(clock.elapsed(), 1500);
        EXPECT_GE(ticks - ticksBefore, 5) << "the event loop stood still during the wait";
    }
    // This very process owns the clipboard now.
    EXPECT_EQ(QString::fromStdString(reader.ownerExecutablePath()),
              QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget());
}

TEST_F(X11ClipboardE2E, OwnerPathIsTheOwnersExecutableAndEmptyWithoutOwner) {
    EXPECT_EQ(reader.ownerExecutablePath(), "");
    EXPECT_FALSE(reader.offer(kBudget));
    EXPECT_FALSE(reader.offer(X11ClipboardReader::Budget::max()));
    EXPECT_FALSE(reader.text(kBudget));
    EXPECT_FALSE(reader.image(kBudget));

    QProcess& xclip = copy("from xclip");
    const QString exe =
        QFileInfo(QStringLiteral("/proc/%1/exe").arg(xclip.processId())).symLinkTarget();
    EXPECT_EQ(exe, QStringLiteral("/usr/bin/xclip"));
    EXPECT_EQ(QString::fromStdString(reader.ownerExecutablePath()), exe);

    xclip.kill();
    ASSERT_TRUE(WaitFor([&] { return raw.owner() == XCB_WINDOW_NONE; }));
    EXPECT_EQ(reader.ownerExecutablePath(), "");
}

TEST(X11ClipboardNoDisplayE2E, EveryReadGivesNothingAndJoiningIsHarmless) {
    const QByteArray display = qgetenv("DISPLAY");
    for (const char* name : {":999", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(name ? name : "no DISPLAY");
        if (!name)
            qunsetenv("DISPLAY");
        auto connection = std::make_shared<X11ClipboardConnection>(name);
        qputenv("DISPLAY", display);
        EXPECT_FALSE(connection->valid());
        X11ClipboardReader reader{connection};
        X11ClipboardChangeSource changes{connection};
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(reader.offer(kBudget));
        EXPECT_FALSE(reader.text(kBudget));
        EXPECT_FALSE(reader.image(kBudget));
        EXPECT_EQ(reader.ownerExecutablePath(), "");
        EXPECT_LT(clock.elapsed(), 500);
        int count = 0;
        changes.join([&] { ++count; });
        Pump(100);
        changes.leave();
        EXPECT_EQ(count, 1);
    }
}

}  // namespace
}  // namespace quillet::e2e
