#include "capture/ClipCapture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "capture/BmpEncoder.h"
#include "capture/ClipboardWatcher.h"
#include "capture/ClipboardWriter.h"
#include "platform/fake/FakePlatform.h"
#include "store/ClipDatabase.h"
#include "store/StoreError.h"
#include "support/TestDatabase.h"

namespace quillet::capture {
namespace {

using platform::ClipboardImage;
using platform::ClipboardOffer;
using platform::fake::FakeClipboardChanges;
using platform::fake::FakeClipboardReader;
using store::ClipRow;

// Records every call in order; the wait runs the test's action once, as events dispatched
// during a real wait would.
class RecordingSink final : public CaptureSink {
  public:
    void WaitPumpingMessages(int ms) override {
        calls.push_back("wait " + std::to_string(ms));
        if (auto act = std::exchange(duringWait, nullptr))
            act();
    }
    void ClearPreviewReadOnly() override { calls.emplace_back("editable"); }
    void AppendClip(ClipRow row) override {
        calls.push_back("append " + std::to_string(row.ID));
        appended.push_back(std::move(row));
    }
    void Repaint() override { calls.emplace_back("repaint"); }
    void SelectNewestClip() override { calls.emplace_back("select"); }
    void PlayNotificationSound(const QString& fileName) override {
        sounds.push_back(fileName.toStdString());
    }
    void ShowStatusMessage(const QString& text) override { status.push_back(text.toStdString()); }
    void ClearShowWithoutCopy() override { ++showWithoutCopyCleared; }

    std::function<void()> duringWait;
    std::vector<std::string> calls;
    std::vector<ClipRow> appended;
    std::vector<std::string> sounds;
    std::vector<std::string> status;
    int showWithoutCopyCleared = 0;
};

// The program's own writes land on the fake clipboard, owned by the program.
class TestWriter final : public ClipboardWriter {
  public:
    explicit TestWriter(FakeClipboardReader& reader) : reader_(reader) {}

  protected:
    void setClipboardText(const QString& text) override {
        reader_.setText(text.toStdString());
        reader_.owner = "/opt/quillet/quillet";
    }
    void setClipboardImage(const QImage&) override {}

  private:
    FakeClipboardReader& reader_;
};

QByteArray Png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QImage Picture() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(2, 1, qRgb(200, 100, 0));
    return image;
}

// A stored clip with its content, as the database holds it.
struct Stored {
    ClipRow row;
    QString text;
    QByteArray bytes;
};

class CaptureTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("ClipsData.db"));
        test::MakeClipDatabase(path_);
        database_.emplace(store::ClipDatabase::OpenClipDatabase(path_));
        capture_.setDatabase(&*database_);
        watcher_.JoinViewerChain();
        sink_.calls.clear();
        reader_.owner = "/usr/bin/gedit";
    }

    // Another program copies a text (UTF-8) and the change is notified.
    void CopyText(const std::string& text) {
        reader_.setText(text);
        changes_.deliver();
    }
    void SetPicture(const QImage& image,
                    std::vector<std::string> formats = {"TARGETS", "image/png"}) {
        reader_.offerValue = ClipboardOffer{std::move(formats), false, true, false};
        reader_.textValue.reset();
        const QByteArray png = Png(image);
        reader_.imageValue = ClipboardImage{"image/png", {png.begin(), png.end()}};
    }
    void CopyPicture(const QImage& image = Picture()) {
        SetPicture(image);
        changes_.deliver();
    }

    std::vector<Stored> StoredClips() {
        std::vector<Stored> clips;
        database_->LoadAllClips([&](ClipRow&& row) {
            const store::ClipContent content = database_->ReadClipContent(row.ID, row.DataFormat);
            clips.push_back({std::move(row), content.text, content.bytes});
        });
        return clips;
    }
    std::vector<QString> StoredTexts() {
        std::vector<QString> texts;
        for (const Stored& clip : StoredClips())
            texts.push_back(clip.row.DataFormat == store::kImageClip ? QStringLiteral("<image>")
                                                                     : clip.text);
        return texts;
    }

    bool enableText_ = true;
    bool enableImage_ = true;
    FakeClipboardReader reader_;
    FakeClipboardChanges changes_;
    TestWriter writer_{reader_};
    RecordingSink sink_;
    ClipCapture capture_{reader_, writer_, sink_, enableText_, enableImage_};
    ClipboardWatcher watcher_{changes_, writer_, capture_, sink_, enableText_, enableImage_};
    QTemporaryDir dir_;
    QString path_;
    std::optional<store::ClipDatabase> database_;
};

// --- Duplicate rule ----------------------------------------------------------------------------

struct DuplicateCase {
    const char* label;
    std::vector<const char*> copies;  // texts; nullptr stands for a picture
    std::vector<const char*> stored;  // the stored clips in order; "<image>" for a picture
    std::vector<std::string> sounds;
};

void PrintTo(const DuplicateCase& c, std::ostream* out) {
    *out << c.label;
}

class DuplicateRule : public CaptureTest, public testing::WithParamInterface<DuplicateCase> {};

TEST_P(DuplicateRule, StoresWhatDiffersFromTheNewestText) {
    const DuplicateCase& c = GetParam();
    for (const char* copy : c.copies) {
        if (copy)
            CopyText(copy);
        else
            CopyPicture();
    }
    std::vector<QString> expected;
    for (const char* text : c.stored)
        expected.push_back(QString::fromUtf8(text));
    EXPECT_EQ(StoredTexts(), expected);
    EXPECT_EQ(sink_.sounds, c.sounds);
    EXPECT_EQ(sink_.appended.size(), c.stored.size());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, DuplicateRule,
    testing::Values(
        DuplicateCase{"A_B_A", {"A", "B", "A"}, {"A", "B", "A"}, {"ok.wav", "ok.wav", "ok.wav"}},
        DuplicateCase{"same_twice", {"A", "A"}, {"A"}, {"ok.wav", "fail.wav"}},
        DuplicateCase{"case_counts", {"abc", "abC"}, {"abc", "abC"}, {"ok.wav", "ok.wav"}},
        DuplicateCase{"blank_counts", {"a b", "a  b"}, {"a b", "a  b"}, {"ok.wav", "ok.wav"}},
        DuplicateCase{"picture_empties_reference",
                      {"A", nullptr, "A"},
                      {"A", "<image>", "A"},
                      {"ok.wav", "ok.wav", "ok.wav"}},
        DuplicateCase{
            "picture_twice", {nullptr, nullptr}, {"<image>", "<image>"}, {"ok.wav", "ok.wav"}},
        DuplicateCase{"empty_text_at_start", {""}, {}, {"fail.wav"}},
        DuplicateCase{
            "empty_text_after_picture", {nullptr, ""}, {"<image>"}, {"ok.wav", "fail.wav"}},
        DuplicateCase{"empty_text_after_text", {"A", ""}, {"A", ""}, {"ok.wav", "ok.wav"}}),
    [](const testing::TestParamInfo<DuplicateCase>& info) {
        return std::string(info.param.label);
    });

TEST_F(CaptureTest, DuplicateAnnouncesAndSelectsTheNewestClipWithoutStoring) {
    CopyText("A");
    sink_.calls.clear();
    sink_.status.clear();
    CopyText("A");
    EXPECT_EQ(sink_.calls, (std::vector<std::string>{"wait 100", "editable", "select"}));
    EXPECT_EQ(sink_.status, std::vector<std::string>{"Duplicate Clip Ignored"});
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("A"));
}

TEST_F(CaptureTest, NewTextIsStoredThenAppendedAnnouncedAndSelected) {
    CopyText("hello");
    const std::vector<Stored> clips = StoredClips();
    ASSERT_EQ(clips.size(), 1u);
    const std::string id = std::to_string(clips[0].row.ID);
    EXPECT_EQ(sink_.calls, (std::vector<std::string>{
                               "wait 100",
                               "editable",
                               "append " + id,
                               "repaint",
                               "select",
                           }));
    EXPECT_EQ(sink_.status, std::vector<std::string>{"Clip Captured"});
    EXPECT_EQ(sink_.showWithoutCopyCleared, 1);
    // The list's entry is the stored row.
    const ClipRow& row = sink_.appended.at(0);
    EXPECT_EQ(row.ID, clips[0].row.ID);
    EXPECT_EQ(row.DataFormat, store::kTextClip);
    EXPECT_EQ(row.Title, clips[0].row.Title);
    EXPECT_EQ(row.Source, QStringLiteral("/usr/bin/gedit"));
    EXPECT_EQ(clips[0].row.Source, QStringLiteral("/usr/bin/gedit"));
    EXPECT_EQ(row.TimeStamp, clips[0].row.TimeStamp);
    EXPECT_FALSE(row.TimeStamp.isEmpty());
    EXPECT_EQ(row.FormatList, QStringLiteral("TARGETS,  UTF8_STRING,  "));
    EXPECT_EQ(clips[0].row.FormatList, row.FormatList);
    EXPECT_EQ(clips[0].row.Modified, 0);
    EXPECT_EQ(clips[0].row.Lock, 0);
}

// --- Text fields -------------------------------------------------------------------------------

struct TextCase {
    const char* label;
    std::string copied;  // UTF-8
    QString content;
    QString title;
    qint32 size;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.label;
}

class TextFields : public CaptureTest, public testing::WithParamInterface<TextCase> {};

TEST_P(TextFields, TitleSizeAndContent) {
    const TextCase& c = GetParam();
    CopyText(c.copied);
    const std::vector<Stored> clips = StoredClips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].text, c.content);
    EXPECT_EQ(clips[0].row.Title, c.title);
    EXPECT_EQ(clips[0].row.Size, c.size);
    EXPECT_EQ(sink_.appended.at(0).Size, c.size);
    EXPECT_EQ(capture_.LastClipText(), c.content);
}

const QString kFace = QStringLiteral(u"\U0001F600");

INSTANTIATE_TEST_SUITE_P(
    Texts, TextFields,
    testing::Values(TextCase{"fifty", std::string(40, 'a') + std::string(10, 'b'),
                             QString(40, u'a') + QString(10, u'b'), QString(40, u'a'), 50},
                    TextCase{"short", "short text", QStringLiteral("short text"),
                             QStringLiteral("short text"), 10},
                    TextCase{"outside_bmp", "\xF0\x9F\x98\x80", kFace, kFace, 2},
                    TextCase{"pair_at_the_cut", std::string(39, 'x') + "\xF0\x9F\x98\x80",
                             QString(39, u'x') + kFace, QString(39, u'x'), 41},
                    TextCase{"zero_character", std::string("ab\0cd", 5), QStringLiteral("ab"),
                             QStringLiteral("ab"), 2},
                    TextCase{"line_breaks", "one\r\ntwo\n", QStringLiteral("one\r\ntwo\n"),
                             QStringLiteral("one\r\ntwo\n"), 9}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.label); });

// --- Image clips -------------------------------------------------------------------------------

TEST_F(CaptureTest, PictureIsStoredAsBmp) {
    SetPicture(Picture(), {"TARGETS", "image/png", "image/bmp"});
    changes_.deliver();

    const std::vector<Stored> clips = StoredClips();
    ASSERT_EQ(clips.size(), 1u);
    const Stored& clip = clips[0];
    EXPECT_EQ(clip.row.DataFormat, store::kImageClip);
    EXPECT_TRUE(clip.row.Title.startsWith(QStringLiteral("Graphic ")))
        << clip.row.Title.toStdString();
    EXPECT_GT(clip.row.Title.size(), 8);
    EXPECT_TRUE(clip.bytes.startsWith("BM"));
    EXPECT_EQ(clip.row.Size, clip.bytes.size());
    EXPECT_EQ(clip.bytes, EncodeBmp(Picture()));
    EXPECT_EQ(clip.row.FormatList, QStringLiteral("TARGETS,  image/png,  image/bmp,  "));
    EXPECT_EQ(clip.row.Source, QStringLiteral("/usr/bin/gedit"));
    EXPECT_EQ(sink_.appended.at(0).ID, clip.row.ID);
    EXPECT_EQ(sink_.appended.at(0).Size, clip.row.Size);
    EXPECT_EQ(sink_.sounds, std::vector<std::string>{"ok.wav"});
    EXPECT_EQ(sink_.status, std::vector<std::string>{"Clip Captured"});
    EXPECT_EQ(sink_.calls, (std::vector<std::string>{"wait 100", "editable",
                                                     "append " + std::to_string(clip.row.ID),
                                                     "repaint", "select"}));
}

TEST_F(CaptureTest, PictureWhoseTypeQtDoesNotNameIsRecognisedByContent) {
    SetPicture(Picture());
    reader_.imageValue->mimeType = "image/x-ms-bmp";
    changes_.deliver();
    const std::vector<Stored> clips = StoredClips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].bytes, EncodeBmp(Picture()));
}

// --- Contents that give nothing ----------------------------------------------------------------

struct NothingCase {
    const char* label;
    std::function<void(FakeClipboardReader&)> arrange;
};

void PrintTo(const NothingCase& c, std::ostream* out) {
    *out << c.label;
}

class NothingStored : public CaptureTest, public testing::WithParamInterface<NothingCase> {};

TEST_P(NothingStored, NoClipNoSoundNoStatus) {
    capture_.setLastClipText(QStringLiteral("before"));
    GetParam().arrange(reader_);
    changes_.deliver();
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_TRUE(sink_.appended.empty());
    EXPECT_TRUE(sink_.sounds.empty());
    EXPECT_TRUE(sink_.status.empty());
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("before"));
    EXPECT_EQ(sink_.showWithoutCopyCleared, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Contents, NothingStored,
    testing::Values(
        NothingCase{"owner_does_not_answer", [](FakeClipboardReader& r) { r.offerValue.reset(); }},
        NothingCase{"secret",
                    [](FakeClipboardReader& r) {
                        r.setText("password");
                        r.offerValue->secret = true;
                    }},
        NothingCase{
            "neither_text_nor_picture",
            [](FakeClipboardReader& r) {
                r.offerValue = ClipboardOffer{{"TARGETS", "text/uri-list"}, false, false, false};
            }},
        NothingCase{"text_read_unanswered",
                    [](FakeClipboardReader& r) {
                        r.setText("x");
                        r.textValue.reset();
                    }},
        NothingCase{"picture_read_unanswered",
                    [](FakeClipboardReader& r) {
                        r.offerValue = ClipboardOffer{{"image/png"}, false, true, false};
                        r.imageValue.reset();
                    }},
        NothingCase{"picture_undecodable",
                    [](FakeClipboardReader& r) {
                        r.offerValue = ClipboardOffer{{"image/png"}, false, true, false};
                        r.imageValue = ClipboardImage{"image/png", {1, 2, 3, 4, 5}};
                    }}),
    [](const testing::TestParamInfo<NothingCase>& info) { return std::string(info.param.label); });

TEST_F(CaptureTest, OwnerThatUsesUpTheReadBudgetGivesNothing) {
    ClipCapture slow(reader_, writer_, sink_, enableText_, enableImage_,
                     std::chrono::milliseconds(30));
    slow.setDatabase(&*database_);
    reader_.setText("late");
    reader_.duringRead = [] { std::this_thread::sleep_for(std::chrono::milliseconds(60)); };
    slow.CaptureClipboard();
    EXPECT_EQ(reader_.reads, 1);  // the offer; no text read is tried after the budget ran out
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_TRUE(sink_.sounds.empty());
}

TEST_F(CaptureTest, ContentOwnedByThisProcessIsNeverStored) {
    // Two quick writes of the program's own: the first announcement takes the flag, the
    // second finds it cleared but the clipboard still the program's.
    reader_.ownedByUs = true;
    CopyText("typed into the memo");
    EXPECT_TRUE(sink_.appended.empty());
    EXPECT_TRUE(StoredClips().empty());
    reader_.ownedByUs = false;
    CopyText("copied elsewhere");
    EXPECT_EQ(StoredClips().size(), 1u);
}

TEST_F(CaptureTest, NoDatabaseCapturesNothing) {
    capture_.setDatabase(nullptr);
    CopyText("A");
    EXPECT_TRUE(sink_.appended.empty());
    EXPECT_TRUE(sink_.sounds.empty());
    EXPECT_EQ(capture_.LastClipText(), QString());
}

// --- Filters -----------------------------------------------------------------------------------

enum class Offered { Text, Picture, TextAndPicture };

struct FilterCase {
    const char* label;
    bool enableText;
    bool enableImage;
    Offered offered;
    std::optional<qint32> kind;  // the stored clip's DataFormat, or nothing stored
};

void PrintTo(const FilterCase& c, std::ostream* out) {
    *out << c.label;
}

class Filters : public CaptureTest, public testing::WithParamInterface<FilterCase> {};

TEST_P(Filters, DecideTheKind) {
    const FilterCase& c = GetParam();
    enableText_ = c.enableText;
    enableImage_ = c.enableImage;
    sink_.status.push_back("earlier");
    SetPicture(Picture());
    if (c.offered != Offered::Picture) {
        reader_.offerValue->text = true;
        reader_.textValue = "words";
    }
    if (c.offered == Offered::Text) {
        reader_.offerValue->image = false;
        reader_.imageValue.reset();
    }
    changes_.deliver();

    const std::vector<Stored> clips = StoredClips();
    if (c.kind) {
        ASSERT_EQ(clips.size(), 1u);
        EXPECT_EQ(clips[0].row.DataFormat, *c.kind);
        EXPECT_EQ(sink_.sounds, std::vector<std::string>{"ok.wav"});
    } else {
        EXPECT_TRUE(clips.empty());
        EXPECT_TRUE(sink_.sounds.empty());
        EXPECT_EQ(sink_.status, std::vector<std::string>{"earlier"});
        EXPECT_EQ(sink_.calls, std::vector<std::string>{"wait 100"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Filters,
    testing::Values(
        FilterCase{"both_text", true, true, Offered::Text, store::kTextClip},
        FilterCase{"both_picture", true, true, Offered::Picture, store::kImageClip},
        FilterCase{"both_text_and_picture", true, true, Offered::TextAndPicture, store::kTextClip},
        FilterCase{"text_off_text", false, true, Offered::Text, std::nullopt},
        FilterCase{"text_off_text_and_picture", false, true, Offered::TextAndPicture, std::nullopt},
        FilterCase{"text_off_picture", false, true, Offered::Picture, store::kImageClip},
        FilterCase{"image_off_picture", true, false, Offered::Picture, std::nullopt},
        FilterCase{"image_off_text", true, false, Offered::Text, store::kTextClip}),
    [](const testing::TestParamInfo<FilterCase>& info) { return std::string(info.param.label); });

TEST_F(CaptureTest, FilterTogglesSetTheSettingAndTheCheckMark) {
    QAction text;
    QAction image;
    text.setCheckable(true);
    image.setCheckable(true);
    text.setChecked(true);
    image.setChecked(true);

    watcher_.Text1Click(text, text.isChecked());
    EXPECT_FALSE(enableText_);
    EXPECT_FALSE(text.isChecked());
    EXPECT_TRUE(enableImage_);
    CopyText("not wanted");
    EXPECT_TRUE(StoredClips().empty());

    watcher_.Text1Click(text, text.isChecked());
    EXPECT_TRUE(enableText_);
    EXPECT_TRUE(text.isChecked());

    // Wired to a checkable action's triggered(checked): the mark had already flipped.
    image.trigger();
    ASSERT_FALSE(image.isChecked());
    watcher_.Image1Click(image, !image.isChecked());
    EXPECT_FALSE(enableImage_);
    EXPECT_FALSE(image.isChecked());
    CopyPicture();
    EXPECT_TRUE(StoredClips().empty());
}

// --- LastClipText ------------------------------------------------------------------------------

TEST_F(CaptureTest, StartUpReferenceMakesTheSameTextADuplicate) {
    capture_.setLastClipText(QStringLiteral("newest stored"));
    CopyText("newest stored");
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_EQ(sink_.sounds, std::vector<std::string>{"fail.wav"});
    CopyText("Newest stored");
    EXPECT_EQ(StoredTexts(), std::vector<QString>{QStringLiteral("Newest stored")});
}

TEST_F(CaptureTest, ReferenceFollowsCapturedClipsOnly) {
    CopyText("first");
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("first"));
    CopyText("first");  // duplicate: unchanged
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("first"));

    // A picture that cannot be decoded is no captured picture: the reference stays.
    reader_.offerValue = ClipboardOffer{{"image/png"}, false, true, false};
    reader_.imageValue = ClipboardImage{"image/png", {0, 1}};
    changes_.deliver();
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("first"));

    CopyPicture();
    EXPECT_EQ(capture_.LastClipText(), QString());
}

TEST_F(CaptureTest, FailedInsertLeavesListAndReferenceAndRaises) {
    CopyText("kept");
    database_->Close();
    sink_ = RecordingSink();

    EXPECT_THROW(CopyText("lost?"), store::StoreError);
    EXPECT_TRUE(sink_.appended.empty());
    EXPECT_TRUE(sink_.sounds.empty());
    EXPECT_TRUE(sink_.status.empty());
    EXPECT_EQ(sink_.showWithoutCopyCleared, 1);
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("kept"));

    // The same text copied again once the store works is stored, not taken for a duplicate.
    database_.emplace(store::ClipDatabase::OpenClipDatabase(path_));
    capture_.setDatabase(&*database_);
    CopyText("lost?");
    EXPECT_EQ(StoredTexts(),
              (std::vector<QString>{QStringLiteral("kept"), QStringLiteral("lost?")}));
}

// --- The program's own writes ------------------------------------------------------------------

TEST_F(CaptureTest, ProgramWriteIsNotCapturedButTheNextChangeIs) {
    writer_.writeText(QStringLiteral("own"));
    changes_.deliver();
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_TRUE(sink_.sounds.empty());
    EXPECT_TRUE(sink_.status.empty());
    EXPECT_EQ(sink_.showWithoutCopyCleared, 1);
    EXPECT_FALSE(writer_.IgnoreNextClipboardChange());

    CopyText("theirs");
    EXPECT_EQ(StoredTexts(), std::vector<QString>{QStringLiteral("theirs")});
}

TEST_F(CaptureTest, ProgramWriteWhoseNotificationComesAfterTheCaptureIsNeverStored) {
    reader_.setText("theirs");
    sink_.duringWait = [&] { writer_.writeText(QStringLiteral("own")); };
    changes_.deliver();
    // The clipboard held the program's write when the wait ended.
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_TRUE(writer_.IgnoreNextClipboardChange());

    changes_.deliver();  // the write's own notification
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_FALSE(writer_.IgnoreNextClipboardChange());

    CopyText("next");
    EXPECT_EQ(StoredTexts(), std::vector<QString>{QStringLiteral("next")});
}

TEST_F(CaptureTest, ProgramWriteNotifiedInsideTheWaitIsNeverStored) {
    reader_.setText("theirs");
    sink_.duringWait = [&] {
        writer_.writeText(QStringLiteral("own"));
        changes_.deliver();
    };
    changes_.deliver();
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_TRUE(sink_.sounds.empty());
    EXPECT_FALSE(writer_.IgnoreNextClipboardChange());
    EXPECT_EQ(sink_.showWithoutCopyCleared, 2);
}

struct ReentryCase {
    const char* label;
    bool picture;
};

void PrintTo(const ReentryCase& c, std::ostream* out) {
    *out << c.label;
}

class Reentry : public CaptureTest, public testing::WithParamInterface<ReentryCase> {};

// Two changes close together: the second is handled inside the first one's wait, and both
// would read the second content. It is stored once, by the second run.
TEST_P(Reentry, ChangeDuringTheWaitIsStoredOnce) {
    reader_.setText("first");
    sink_.duringWait = [&] {
        if (GetParam().picture)
            SetPicture(Picture());
        else
            reader_.setText("second");
        changes_.deliver();
    };
    changes_.deliver();

    const std::vector<Stored> clips = StoredClips();
    ASSERT_EQ(clips.size(), 1u);
    EXPECT_EQ(clips[0].row.DataFormat, GetParam().picture ? store::kImageClip : store::kTextClip);
    EXPECT_EQ(sink_.appended.size(), 1u);
    EXPECT_EQ(sink_.sounds, std::vector<std::string>{"ok.wav"});
    EXPECT_EQ(sink_.showWithoutCopyCleared, 2);
}

INSTANTIATE_TEST_SUITE_P(Kinds, Reentry,
                         testing::Values(ReentryCase{"text", false}, ReentryCase{"picture", true}),
                         [](const testing::TestParamInfo<ReentryCase>& info) {
                             return std::string(info.param.label);
                         });

TEST_F(CaptureTest, ChangeDuringTheTextReadLetsTheNewerRunStore) {
    reader_.setText("first");
    bool offered = false;
    // The offer is answered; while the text is being read, another change is handled.
    reader_.duringRead = [&] {
        offered = true;
        reader_.duringRead = [&] {
            reader_.setText("second");
            changes_.deliver();
        };
    };
    changes_.deliver();
    EXPECT_TRUE(offered);
    EXPECT_EQ(StoredTexts(), std::vector<QString>{QStringLiteral("second")});
    EXPECT_EQ(capture_.LastClipText(), QStringLiteral("second"));
    // The outer run stopped: it neither stored nor reported a duplicate.
    EXPECT_EQ(sink_.sounds, std::vector<std::string>{"ok.wav"});
}

// --- Stop and start ----------------------------------------------------------------------------

TEST_F(CaptureTest, StopAndStartWithEitherItem) {
    QAction menuItem(QStringLiteral("캡처 멈춤"));
    QAction trayItem(QStringLiteral("캡처 멈춤"));
    EXPECT_TRUE(watcher_.CaptureOn());
    EXPECT_EQ(changes_.joins, 1);

    watcher_.StopCapturing1Click(menuItem);
    EXPECT_FALSE(watcher_.CaptureOn());
    EXPECT_EQ(menuItem.text(), QStringLiteral("Start Capturing"));
    EXPECT_EQ(trayItem.text(), QStringLiteral("캡처 멈춤"));
    EXPECT_EQ(sink_.status, std::vector<std::string>{"Capture Stopped!"});
    EXPECT_EQ(changes_.leaves, 1);
    EXPECT_FALSE(changes_.joined());
    CopyText("while stopped");
    EXPECT_TRUE(StoredClips().empty());

    watcher_.StopCapturing1Click(trayItem);
    EXPECT_TRUE(watcher_.CaptureOn());
    EXPECT_EQ(trayItem.text(), QStringLiteral("Stop Capturing"));
    EXPECT_EQ(menuItem.text(), QStringLiteral("Start Capturing"));
    EXPECT_EQ(sink_.status, (std::vector<std::string>{"Capture Stopped!", "Capture Working!"}));
    EXPECT_EQ(changes_.joins, 2);
    EXPECT_EQ(changes_.leaves, 1);
    EXPECT_TRUE(sink_.sounds.empty());

    changes_.deliver();  // the notification that joining brings
    EXPECT_EQ(StoredTexts(), std::vector<QString>{QStringLiteral("while stopped")});
}

TEST_F(CaptureTest, ProgramWriteWhileStoppedIsIgnoredOnRestart) {
    QAction item;
    watcher_.StopCapturing1Click(item);
    writer_.writeText(QStringLiteral("own"));
    watcher_.StopCapturing1Click(item);
    changes_.deliver();  // joining's first notification
    EXPECT_TRUE(StoredClips().empty());
    EXPECT_FALSE(writer_.IgnoreNextClipboardChange());
    CopyText("theirs");
    EXPECT_EQ(StoredTexts(), std::vector<QString>{QStringLiteral("theirs")});
}

TEST_F(CaptureTest, ErrorInTheCaptureStillClearsShowWithoutCopy) {
    sink_.duringWait = [] { throw std::runtime_error("from an event"); };
    reader_.setText("x");
    EXPECT_THROW(changes_.deliver(), std::runtime_error);
    EXPECT_EQ(sink_.showWithoutCopyCleared, 1);
    EXPECT_TRUE(StoredClips().empty());
}

}  // namespace
}  // namespace quillet::capture
