// The browser's handlers against a real store: what a click, a key, a producer's new clip and
// an edit do to the preview, the store and the clipboard.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include "browser/ClipBrowser.h"
#include "browser/ClipGrid.h"
#include "browser/ClipGridModel.h"
#include "browser/ClipList.h"
#include "browser/ClipPreview.h"
#include "capture/ClipboardWriter.h"
#include "store/ClipDatabase.h"
#include "support/TestDatabase.h"

namespace quillet::browser {
namespace {

class RecordingClipboard final : public capture::ClipboardWriter {
  public:
    QStringList texts;
    QList<QImage> images;

  protected:
    void setClipboardText(const QString& text) override { texts << text; }
    void setClipboardImage(const QImage& image) override { images << image; }
};

QByteArray Bmp(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

class ClipBrowserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const QString path = dir.filePath(QStringLiteral("ClipsData.db"));
        test::MakeClipDatabase(path);
        db.emplace(store::ClipDatabase::OpenClipDatabase(path));
    }

    // Stores text clips, oldest first, and loads the list the way start-up does.
    void Load(const QStringList& texts) {
        for (const QString& text : texts)
            InsertText(text);
        list.Fill(*db);
        browser.setDatabase(&*db);
        browser.Repaint();
        grid.resize(400, 300);
        grid.show();
    }

    qint64 InsertText(const QString& text) {
        store::ClipRow row;
        row.DataFormat = store::kTextClip;
        row.Title = text.left(40);
        row.Size = qint32(text.size());
        return db->InsertClip(row, text);
    }

    void ClickRow(qsizetype gridRow) {
        const QRect cell = grid.visualRect(model.index(int(gridRow - 1), 1));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
    }

    QPlainTextEdit* Memo() { return preview.findChild<QPlainTextEdit*>(); }

    QTemporaryDir dir;
    std::optional<store::ClipDatabase> db;
    ClipList list;
    ClipGridModel model{list};
    ClipGrid grid{list, model};
    ClipPreview preview;
    RecordingClipboard clipboard;
    std::vector<int> waits;
    std::function<void()> duringWait;
    QString countText;
    ClipBrowser browser{list,
                        model,
                        grid,
                        preview,
                        clipboard,
                        [this](int ms) {
                            waits.push_back(ms);
                            if (auto act = std::exchange(duringWait, nullptr))
                                act();
                        },
                        [this](const QString& text) { countText = text; }};
};

TEST_F(ClipBrowserTest, ClickPutsTheClipOnTheClipboardEveryTime) {
    Load({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
    EXPECT_EQ(countText, QStringLiteral("Clips: 3 / 3"));

    ClickRow(2);
    EXPECT_EQ(list.CurrentRow(), 2);
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("two"));
    EXPECT_EQ(clipboard.texts, QStringList{QStringLiteral("two")});
    EXPECT_TRUE(clipboard.IgnoreNextClipboardChange());
    EXPECT_EQ(countText, QStringLiteral("Clips: 3 / 2"));

    ClickRow(2);  // the current row again
    EXPECT_EQ(clipboard.texts.size(), 2);
    EXPECT_TRUE(waits.empty());

    ClickRow(3);
    EXPECT_EQ(countText, QStringLiteral("Clips: 3 / 1"));
    EXPECT_EQ(clipboard.texts.last(), QStringLiteral("one"));
}

TEST_F(ClipBrowserTest, NewestClipIsShownWithoutCopyingIt) {
    Load({QStringLiteral("old"), QStringLiteral("older but newer")});
    ClickRow(2);
    clipboard.texts.clear();

    store::ClipRow row;
    row.DataFormat = store::kTextClip;
    row.Title = QStringLiteral("fresh");
    row.ID = InsertText(QStringLiteral("fresh"));
    list.Append(row);
    browser.Repaint();
    browser.SelectNewestClip();

    EXPECT_EQ(list.CurrentRow(), 1);
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("fresh"));
    EXPECT_TRUE(clipboard.texts.isEmpty());
    EXPECT_FALSE(browser.ShowWithoutCopy);
    EXPECT_EQ(countText, QStringLiteral("Clips: 3 / 3"));

    // The mark covered one run: the next click copies as usual.
    ClickRow(1);
    EXPECT_EQ(clipboard.texts, QStringList{QStringLiteral("fresh")});
}

TEST_F(ClipBrowserTest, ArrowKeyWaitsAndOnlyTheRowWhereTheSelectionRestsIsLoaded) {
    Load({QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")});
    grid.setFocus();
    // A second press arrives while the first run waits: the first run gives way to it.
    duringWait = [this] { QTest::keyClick(&grid, Qt::Key_Down); };
    QTest::keyClick(&grid, Qt::Key_Down);

    EXPECT_EQ(list.CurrentRow(), 3);
    EXPECT_EQ(waits, (std::vector<int>{200, 200}));
    EXPECT_EQ(clipboard.texts, QStringList{QStringLiteral("c")});
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("c"));
    EXPECT_FALSE(browser.ArrowKeyPending);

    // At the last row Down moves nothing and loads nothing.
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(clipboard.texts.size(), 1);
    EXPECT_TRUE(browser.ArrowKeyPending);
}

TEST_F(ClipBrowserTest, TypingWritesThroughAtEveryKey) {
    Load({QStringLiteral("0123456789")});
    ClickRow(1);
    clipboard.texts.clear();
    Memo()->moveCursor(QTextCursor::End);
    QTest::keyClicks(Memo(), QStringLiteral("ab"));

    const store::ClipRow& clip = *list.SelectedClip();
    EXPECT_EQ(db->ReadClipContent(clip.ID, clip.DataFormat).text, QStringLiteral("0123456789ab"));
    EXPECT_EQ(clip.Size, 12);
    EXPECT_EQ(clip.Modified, 1);
    EXPECT_EQ(clipboard.texts,
              (QStringList{QStringLiteral("0123456789a"), QStringLiteral("0123456789ab")}));
    EXPECT_EQ(model.index(0, ClipGridModel::SizeColumn).data().toString(), QStringLiteral("12"));
}

TEST_F(ClipBrowserTest, CtrlVPutsTheMemoTextOnTheClipboardInsteadOfPasting) {
    Load({QStringLiteral("keep me")});
    ClickRow(1);
    clipboard.texts.clear();
    QTest::keyClick(Memo(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Memo()->toPlainText(), QStringLiteral("keep me"));
    EXPECT_EQ(clipboard.texts, QStringList{QStringLiteral("keep me")});
    EXPECT_TRUE(clipboard.IgnoreNextClipboardChange());
}

TEST_F(ClipBrowserTest, ImageClipGoesOnTheClipboardPixelForPixel) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    picture.setPixelColor(3, 4, QColor(250, 1, 2));
    store::ClipRow row;
    row.DataFormat = store::kImageClip;
    const QByteArray bmp = Bmp(picture);
    row.Size = qint32(bmp.size());
    db->InsertClipboardImage(row, bmp);
    Load({QStringLiteral("text")});

    ClickRow(2);
    ASSERT_EQ(clipboard.images.size(), 1);
    EXPECT_EQ(clipboard.images.front().convertToFormat(QImage::Format_RGB32), picture);
}

TEST_F(ClipBrowserTest, ModelStaysConsistentThroughAppendAndRemove) {
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Load({});
    EXPECT_EQ(model.rowCount(), 1);  // the empty row
    EXPECT_EQ(countText, QStringLiteral("Clips: 0 / 0"));
    for (const QString& text : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}) {
        store::ClipRow row;
        row.DataFormat = store::kTextClip;
        row.Title = text;
        row.ID = InsertText(text);
        list.Append(row);
        browser.Repaint();
    }
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.index(0, ClipGridModel::TitleColumn).data().toString(), QStringLiteral("c"));
    browser.SetCurrentRow(2);
    (void)list.RemoveSelected();
    browser.Repaint();
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.index(1, ClipGridModel::TitleColumn).data().toString(), QStringLiteral("a"));
    EXPECT_EQ(countText, QStringLiteral("Clips: 2 / 1"));
    EXPECT_EQ(grid.currentIndex().row(), 1);
}

TEST_F(ClipBrowserTest, WheelScrollsWithoutMovingTheSelection) {
    QStringList many;
    for (int i = 0; i < 60; ++i)
        many << QString::number(i);
    Load(many);
    ClickRow(1);
    const int before = grid.verticalScrollBar()->value();
    QWheelEvent down(QPointF(50, 50), grid.mapToGlobal(QPointF(50, 50)), {}, QPoint(0, -240),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(grid.viewport(), &down);
    EXPECT_EQ(grid.verticalScrollBar()->value(), before + 2);
    EXPECT_EQ(list.CurrentRow(), 1);
    EXPECT_EQ(clipboard.texts.size(), 1);
}

struct KeyCase {
    const char* name;
    int key;
    Qt::KeyboardModifiers modifiers;
    qsizetype current;
    qsizetype expected;
};

class TargetRowTest : public ::testing::TestWithParam<KeyCase> {};

// 50 data rows, rows 11 to 20 visible (a page of 10), row 15 current unless given.
TEST_P(TargetRowTest, MovesAsTheKeyTableSays) {
    const KeyCase& c = GetParam();
    EXPECT_EQ(ClipGrid::TargetRow(c.key, c.modifiers, c.current, 50, 11, 10), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TargetRowTest,
    ::testing::Values(
        KeyCase{"Up", Qt::Key_Up, {}, 15, 14}, KeyCase{"Left", Qt::Key_Left, {}, 15, 14},
        KeyCase{"Down", Qt::Key_Down, {}, 15, 16}, KeyCase{"Right", Qt::Key_Right, {}, 15, 16},
        KeyCase{"UpAtTop", Qt::Key_Up, {}, 1, 1}, KeyCase{"DownAtBottom", Qt::Key_Down, {}, 50, 50},
        KeyCase{"PageUp", Qt::Key_PageUp, {}, 15, 5},
        KeyCase{"PageUpClamped", Qt::Key_PageUp, {}, 4, 1},
        KeyCase{"PageDown", Qt::Key_PageDown, {}, 15, 25},
        KeyCase{"PageDownClamped", Qt::Key_PageDown, {}, 45, 50},
        KeyCase{"Home", Qt::Key_Home, {}, 15, 1}, KeyCase{"End", Qt::Key_End, {}, 15, 50},
        KeyCase{"CtrlHome", Qt::Key_Home, Qt::ControlModifier, 15, 1},
        KeyCase{"CtrlEnd", Qt::Key_End, Qt::ControlModifier, 15, 50},
        KeyCase{"CtrlPageUp", Qt::Key_PageUp, Qt::ControlModifier, 15, 11},
        KeyCase{"CtrlPageDown", Qt::Key_PageDown, Qt::ControlModifier, 15, 20},
        KeyCase{"CtrlUp", Qt::Key_Up, Qt::ControlModifier, 15, 15},
        KeyCase{"CtrlDown", Qt::Key_Down, Qt::ControlModifier, 15, 15},
        KeyCase{"CtrlLeft", Qt::Key_Left, Qt::ControlModifier, 15, 15},
        KeyCase{"CtrlRight", Qt::Key_Right, Qt::ControlModifier, 15, 15},
        KeyCase{"ShiftDown", Qt::Key_Down, Qt::ShiftModifier, 15, 16}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::browser
