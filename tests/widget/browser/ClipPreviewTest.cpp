#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "browser/BmpImage.h"
#include "browser/ClipPreview.h"

namespace quillet::browser {
namespace {

QByteArray Bmp(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "BMP"));
    return bytes;
}

// A picture whose pixels differ from row to row and column to column, so that a shifted,
// flipped or scaled copy does not compare equal.
QImage Gradient(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256 + 40 * (y / 256)) % 256));
        }
    }
    return image;
}

class ClipPreviewTest : public ::testing::Test {
  protected:
    void SetUp() override {
        preview.resize(300, 200);
        preview.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
    }

    PreviewMemo* memo() { return preview.previewMemo(); }
    QScrollBar* hbar() { return preview.imageScrollBox()->horizontalScrollBar(); }
    QScrollBar* vbar() { return preview.imageScrollBox()->verticalScrollBar(); }
    QPoint scrollPosition() { return {hbar()->value(), vbar()->value()}; }

    void expectTextMode() {
        EXPECT_TRUE(memo()->isVisible());
        EXPECT_TRUE(preview.wordWrapBox()->isVisible());
        EXPECT_FALSE(preview.imageScrollBox()->isVisible());
        EXPECT_FALSE(preview.imageModeChoice()->isVisible());
    }
    void expectImageMode() {
        EXPECT_FALSE(memo()->isVisible());
        EXPECT_FALSE(preview.wordWrapBox()->isVisible());
        EXPECT_TRUE(preview.imageScrollBox()->isVisible());
        EXPECT_TRUE(preview.imageModeChoice()->isVisible());
    }

    ClipPreview preview;
};

TEST_F(ClipPreviewTest, StartsInTheDesignState) {
    EXPECT_TRUE(memo()->isVisible());
    EXPECT_TRUE(preview.imageScrollBox()->isVisible());
    EXPECT_TRUE(preview.wordWrapBox()->isVisible());
    EXPECT_FALSE(preview.imageModeChoice()->isVisible());
    // The empty image box lies in front of the memo.
    QWidget* front = preview.childAt(memo()->geometry().center());
    EXPECT_TRUE(front != nullptr && preview.imageScrollBox()->isAncestorOf(front));
    EXPECT_TRUE(memo()->toPlainText().isEmpty());
    EXPECT_FALSE(memo()->isReadOnly());
    EXPECT_EQ(preview.imageMode(), ClipPreview::ImageMode::Scroll);
    EXPECT_TRUE(preview.scrollModeButton()->isChecked());
    EXPECT_EQ(preview.scrollModeButton()->text(), QStringLiteral("스크롤"));
    EXPECT_EQ(preview.scaleModeButton()->text(), QStringLiteral("스케일"));
    EXPECT_EQ(preview.wordWrapBox()->text(), QStringLiteral("자동 줄 바꿈"));
    EXPECT_FALSE(preview.wordWrapBox()->isChecked());
    EXPECT_EQ(memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo()->font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(memo()->font().pointSize(), 9);
    EXPECT_EQ(preview.imageView()->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_EQ(preview.imageView()->size(), QSize(0, 0));
}

TEST_F(ClipPreviewTest, EveryControlHasAnAccessibleName) {
    const QList<QWidget*> controls = {memo(),
                                      preview.imageScrollBox(),
                                      preview.imageView(),
                                      preview.imageModeChoice(),
                                      preview.scrollModeButton(),
                                      preview.scaleModeButton(),
                                      preview.wordWrapBox(),
                                      memo()->contextMenu()};
    for (QWidget* control : controls) {
        EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    }
}

struct LineBreakCase {
    const char* name;
    QString input;
    QString withCrLf;  // every line break as CR LF
};

class LineBreakTest : public ::testing::TestWithParam<LineBreakCase> {};

TEST_P(LineBreakTest, NormalizesEveryKindOfBreak) {
    EXPECT_EQ(NormalizeLineBreaks(GetParam().input, QStringLiteral("\r\n")), GetParam().withCrLf);
}

TEST_P(LineBreakTest, MemoHoldsTheTextWithPlatformBreaks) {
    ClipPreview preview;
    preview.showText(GetParam().input);
    QString expected = GetParam().withCrLf;
    expected.replace(QStringLiteral("\r\n"), PlatformLineBreak());
    EXPECT_EQ(preview.memoText(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LineBreakTest,
    ::testing::Values(
        LineBreakCase{"Empty", QString(), QString()},
        LineBreakCase{"NoBreak", QStringLiteral("one line"), QStringLiteral("one line")},
        LineBreakCase{"CrLf", QStringLiteral("a\r\nb"), QStringLiteral("a\r\nb")},
        LineBreakCase{"LoneLf", QStringLiteral("a\nb"), QStringLiteral("a\r\nb")},
        LineBreakCase{"LoneCr", QStringLiteral("a\rb"), QStringLiteral("a\r\nb")},
        LineBreakCase{"CrBeforeCrLf", QStringLiteral("a\r\r\nb"), QStringLiteral("a\r\n\r\nb")},
        LineBreakCase{"LfCrIsTwoBreaks", QStringLiteral("a\n\rb"), QStringLiteral("a\r\n\r\nb")},
        LineBreakCase{"Mixed", QStringLiteral("1\r2\n3\r\n4"), QStringLiteral("1\r\n2\r\n3\r\n4")},
        LineBreakCase{"TrailingAndLeading", QStringLiteral("\rx\n"), QStringLiteral("\r\nx\r\n")},
        LineBreakCase{"NoBreakSpaceKept", QStringLiteral("a\u00A0b\tc"),
                      QStringLiteral("a\u00A0b\tc")},
        LineBreakCase{"Korean", QStringLiteral("클립\n보기"), QStringLiteral("클립\r\n보기")}),
    [](const ::testing::TestParamInfo<LineBreakCase>& info) { return info.param.name; });

TEST_F(ClipPreviewTest, LoadingTextIsNotAnEdit) {
    QSignalSpy edited(&preview, &ClipPreview::textEditedByUser);
    ASSERT_NO_THROW(preview.showImage(Bmp(Gradient(20, 10))));
    preview.showText(QStringLiteral("first"));
    preview.showText(QStringLiteral("second\nclip"));
    expectTextMode();
    EXPECT_EQ(edited.count(), 0);
    EXPECT_FALSE(memo()->document()->isModified());
    // The previous clip's text must not come back through undo.
    EXPECT_FALSE(memo()->document()->isUndoAvailable());
}

TEST_F(ClipPreviewTest, EveryUserChangeIsReportedWithTheWholeText) {
    preview.showText(QStringLiteral("abc"));
    QSignalSpy edited(&preview, &ClipPreview::textEditedByUser);
    memo()->setFocus();
    memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(memo(), Qt::Key_D);
    ASSERT_EQ(edited.count(), 1);
    EXPECT_EQ(edited.at(0).at(0).toString(), QStringLiteral("abcd"));
    EXPECT_TRUE(memo()->document()->isModified());

    QTest::keyClick(memo(), Qt::Key_Backspace);
    QTest::keyClick(memo(), Qt::Key_Backspace);
    ASSERT_EQ(edited.count(), 3);
    EXPECT_EQ(edited.at(2).at(0).toString(), QStringLiteral("ab"));

    // Undoing back to the loaded text is a change too, although the editor then calls the
    // document unmodified.
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    ASSERT_GE(edited.count(), 4);
    EXPECT_EQ(edited.last().at(0).toString(), QStringLiteral("abc"));
    EXPECT_EQ(preview.memoText(), QStringLiteral("abc"));
}

TEST_F(ClipPreviewTest, ShiftEnterBreaksTheLineLikeEnter) {
    preview.showText(QStringLiteral("ab"));
    memo()->setFocus();
    memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(memo(), Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClick(memo(), Qt::Key_C);
    EXPECT_EQ(preview.memoText(), QStringLiteral("ab") + PlatformLineBreak() + u'c');
}

TEST_F(ClipPreviewTest, CtrlVAsksForACopyAndNeverPastes) {
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    preview.showText(QStringLiteral("shown clip"));
    QSignalSpy copy(&preview, &ClipPreview::copyMemoRequested);
    QSignalSpy edited(&preview, &ClipPreview::textEditedByUser);
    memo()->setFocus();

    QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    preview.setReadOnly(true);
    QTest::keyClick(memo(), Qt::Key_V, Qt::ControlModifier);

    EXPECT_EQ(copy.count(), 3);
    EXPECT_EQ(edited.count(), 0);
    EXPECT_EQ(preview.memoText(), QStringLiteral("shown clip"));
}

TEST_F(ClipPreviewTest, ReadOnlyRefusesChangesButAllowsSelectingAndCopying) {
    preview.showText(QStringLiteral("editable"));
    memo()->setFocus();
    memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(memo(), Qt::Key_X);  // leaves something to undo
    preview.showText(QStringLiteral("There is no clip to display."));
    preview.setReadOnly(true);
    QApplication::clipboard()->setText(QStringLiteral("other"));
    QSignalSpy edited(&preview, &ClipPreview::textEditedByUser);

    QTest::keyClicks(memo(), QStringLiteral("typed"));
    QTest::keyClick(memo(), Qt::Key_Home);
    QTest::keyClick(memo(), Qt::Key_Delete);
    QTest::keyClick(memo(), Qt::Key_End);
    QTest::keyClick(memo(), Qt::Key_Backspace);
    QTest::keyClick(memo(), Qt::Key_Return);
    QTest::keyClick(memo(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(preview.memoText(), QStringLiteral("There is no clip to display."));
    EXPECT_EQ(edited.count(), 0);

    QTest::keyClick(memo(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(memo(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("There is no clip to display."));
    QTest::keyClick(memo(), Qt::Key_Home);
    QTest::keyClick(memo(), Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier);
    EXPECT_EQ(memo()->textCursor().selectedText(), QStringLiteral("There "));

    preview.setReadOnly(false);
    preview.showText(QStringLiteral("new clip"));
    memo()->moveCursor(QTextCursor::End);
    QTest::keyClick(memo(), Qt::Key_S);
    EXPECT_EQ(preview.memoText(), QStringLiteral("new clips"));
    EXPECT_EQ(edited.count(), 1);
}

TEST_F(ClipPreviewTest, ContextMenuHoldsOnlySelectAll) {
    preview.showText(QStringLiteral("line one\nline two"));
    QMenu* menu = memo()->contextMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("모두 선택"));

    QContextMenuEvent open(QContextMenuEvent::Mouse, QPoint(5, 5),
                           memo()->viewport()->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(memo()->viewport(), &open);
    EXPECT_TRUE(menu->isVisible());
    actions[0]->trigger();
    menu->close();
    EXPECT_EQ(memo()->textCursor().selectedText(), QStringLiteral("line one\u2029line two"));
}

TEST_F(ClipPreviewTest, WordWrapBoxSwitchesWrapping) {
    preview.showText(QString(400, u'w'));
    QApplication::processEvents();
    EXPECT_GT(memo()->horizontalScrollBar()->maximum(), 0);

    QTest::mouseClick(preview.wordWrapBox(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_TRUE(preview.isWordWrapped());
    EXPECT_EQ(memo()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memo()->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(memo()->document()->firstBlock().layout()->lineCount(), 1);

    QTest::mouseClick(preview.wordWrapBox(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_FALSE(preview.isWordWrapped());
    EXPECT_EQ(memo()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    EXPECT_GT(memo()->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ClipPreviewTest, ScrollModeShowsThePicturePixelForPixel) {
    const QImage source = Gradient(2000, 1000);
    const QImage shown = preview.showImage(Bmp(source));
    expectImageMode();
    EXPECT_EQ(shown.convertToFormat(QImage::Format_RGB32), source);
    EXPECT_EQ(preview.imageView()->size(), QSize(2000, 1000));
    EXPECT_EQ(preview.imageView()->pos(), QPoint(0, 0));
    EXPECT_EQ(preview.imageView()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              source);
}

TEST_F(ClipPreviewTest, ScaleModeFitsTheBoxAsItIsAfterTheSwitch) {
    preview.showImage(Bmp(Gradient(20, 10)));
    QTest::mouseClick(preview.scaleModeButton(), Qt::LeftButton);
    ASSERT_EQ(preview.imageMode(), ClipPreview::ImageMode::Scale);
    // In text mode the hidden box keeps its old geometry while the preview is resized; the
    // scale must come from the size it gets when it is shown again.
    preview.showText(QStringLiteral("text"));
    preview.resize(800, 600);
    QApplication::processEvents();
    preview.resize(250, 200);
    QApplication::processEvents();

    preview.showImage(Bmp(Gradient(2000, 1000)));
    EXPECT_EQ(preview.imageScrollBox()->width(), 250);
    EXPECT_EQ(preview.imageView()->size(), QSize(250, 125));
    QApplication::processEvents();
    EXPECT_EQ(hbar()->maximum(), 0);
    EXPECT_EQ(vbar()->maximum(), 0);

    preview.showImage(Bmp(Gradient(100, 50)));
    EXPECT_EQ(preview.imageView()->size(), QSize(100, 50));
    EXPECT_EQ(preview.imageView()->pixmap().toImage().convertToFormat(QImage::Format_RGB32),
              Gradient(100, 50));
}

TEST(ClipPreviewUnshownTest, ScaleModeLaysOutBeforeTheFirstShow) {
    ClipPreview preview;
    preview.scaleModeButton()->setChecked(true);
    preview.showText(QStringLiteral("text"));
    preview.resize(250, 200);
    preview.showImage(Bmp(Gradient(2000, 1000)));
    EXPECT_EQ(preview.imageScrollBox()->width(), 250);
    EXPECT_EQ(preview.imageView()->size(), QSize(250, 125));
}

TEST_F(ClipPreviewTest, ModeRadiosReportEveryClick) {
    preview.showImage(Bmp(Gradient(20, 10)));
    QSignalSpy clicked(&preview, &ClipPreview::imageModeClicked);
    QTest::mouseClick(preview.scaleModeButton(), Qt::LeftButton);
    EXPECT_EQ(preview.imageMode(), ClipPreview::ImageMode::Scale);
    QTest::mouseClick(preview.scaleModeButton(), Qt::LeftButton);
    QTest::mouseClick(preview.scrollModeButton(), Qt::LeftButton);
    EXPECT_EQ(preview.imageMode(), ClipPreview::ImageMode::Scroll);
    EXPECT_EQ(clicked.count(), 3);
}

TEST_F(ClipPreviewTest, MalformedImageThrowsAfterSwitchingAndKeepsThePicture) {
    preview.showImage(Bmp(Gradient(20, 10)));
    preview.showText(QStringLiteral("text"));
    EXPECT_THROW(preview.showImage(QByteArray("BM broken")), ImageDecodeError);
    expectImageMode();
    EXPECT_EQ(preview.imageView()->size(), QSize(20, 10));
    EXPECT_THROW(preview.showImage(QByteArray()), ImageDecodeError);
}

struct DragCase {
    const char* name;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers modifiers;
    bool moves;
};

class ImageDragTest : public ClipPreviewTest, public ::testing::WithParamInterface<DragCase> {
  protected:
    void press(QPoint at, Qt::MouseButton button) {
        QMouseEvent event(QEvent::MouseButtonPress, at, preview.imageView()->mapToGlobal(at),
                          button, button, Qt::NoModifier);
        QApplication::sendEvent(preview.imageView(), &event);
    }
    void move(QPoint to, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
        QMouseEvent event(QEvent::MouseMove, to, preview.imageView()->mapToGlobal(to), Qt::NoButton,
                          buttons, modifiers);
        QApplication::sendEvent(preview.imageView(), &event);
    }
};

TEST_P(ImageDragTest, OnlyTheLeftButtonAlonePullsThePicture) {
    preview.showImage(Bmp(Gradient(2000, 1000)));
    QApplication::processEvents();
    ASSERT_GT(hbar()->maximum(), 100);
    ASSERT_GT(vbar()->maximum(), 100);

    press(QPoint(100, 100), Qt::LeftButton);
    move(QPoint(80, 90), GetParam().buttons, GetParam().modifiers);
    EXPECT_EQ(scrollPosition(), GetParam().moves ? QPoint(20, 10) : QPoint(0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    ButtonsAndKeys, ImageDragTest,
    ::testing::Values(DragCase{"LeftAlone", Qt::LeftButton, Qt::NoModifier, true},
                      DragCase{"Shift", Qt::LeftButton, Qt::ShiftModifier, false},
                      DragCase{"Ctrl", Qt::LeftButton, Qt::ControlModifier, false},
                      DragCase{"Alt", Qt::LeftButton, Qt::AltModifier, false},
                      DragCase{"LeftAndRight", Qt::LeftButton | Qt::RightButton, Qt::NoModifier,
                               false},
                      DragCase{"RightAlone", Qt::RightButton, Qt::NoModifier, false},
                      DragCase{"NoButton", Qt::NoButton, Qt::NoModifier, false}),
    [](const ::testing::TestParamInfo<DragCase>& info) { return info.param.name; });

TEST_F(ImageDragTest, GrabPointStaysAndTheBoxClamps) {
    preview.showImage(Bmp(Gradient(2000, 1000)));
    QApplication::processEvents();
    press(QPoint(100, 100), Qt::LeftButton);
    move(QPoint(80, 90), Qt::LeftButton, Qt::NoModifier);
    // Measured from the grab point (100, 100) again, not from the last position.
    move(QPoint(70, 60), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(scrollPosition(), QPoint(50, 50));
    move(QPoint(5000, 5000), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(scrollPosition(), QPoint(0, 0));
    move(QPoint(-5000, -5000), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(scrollPosition(), QPoint(hbar()->maximum(), vbar()->maximum()));
    // A press of another button sets a new grab point.
    press(QPoint(300, 300), Qt::RightButton);
    hbar()->setValue(100);
    vbar()->setValue(100);
    move(QPoint(290, 295), Qt::LeftButton, Qt::NoModifier);
    EXPECT_EQ(scrollPosition(), QPoint(110, 105));
}

}  // namespace
}  // namespace quillet::browser
