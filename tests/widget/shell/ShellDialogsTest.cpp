#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <functional>

#include "app/TAbout.h"
#include "app/TExitProgram.h"
#include "platform/fake/FakePlatform.h"
#include "support/ModalWatcher.h"

namespace quillet::app {
namespace {

using platform::fake::FakeWindowStyler;
using test::ModalWatcher;

QPushButton* ButtonNamed(QWidget* dialog, const QString& text) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

// Sends a key to whatever has the focus in `dialog`, as the keyboard would.
void PressKey(QWidget* dialog, Qt::Key key) {
    QWidget* target = dialog->focusWidget() ? dialog->focusWidget() : dialog;
    QTest::keyClick(target, key);
}

QStringList TextsOf(QWidget* dialog) {
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

// How far apart the centres of `a` and `b` are, in pixels along both axes together.
double CentreDistance(const QRect& a, const QRect& b) {
    const QPointF d = QRectF(a).center() - QRectF(b).center();
    return std::abs(d.x()) + std::abs(d.y());
}

// Runs `dialog` modally and lets `act` end it; returns exec()'s result, 99 when it hung.
int RunModal(QDialog& dialog, const std::function<void(QDialog*)>& act) {
    ModalWatcher watcher([&](QWidget* modal) { act(static_cast<QDialog*>(modal)); });
    QTimer::singleShot(5000, &dialog, [&] { dialog.done(99); });
    const int result = dialog.exec();
    EXPECT_TRUE(watcher.seen());
    return result;
}

struct ExitEnding {
    const char* name;
    std::function<void(QDialog*)> act;
    bool confirmed;
};

void PrintTo(const ExitEnding& e, std::ostream* os) {
    *os << e.name;
}

class ExitConfirmationTest : public ::testing::TestWithParam<ExitEnding> {
  protected:
    QWidget owner;
    FakeWindowStyler styler;
};

TEST_P(ExitConfirmationTest, OnlyTheOkButtonConfirms) {
    TExitProgram dialog(&owner, styler);
    QStringList texts;
    QWidget* defaultButton = nullptr;
    QRect shownAt;
    WId shownWindow = 0;
    const int result = RunModal(dialog, [&](QDialog* modal) {
        texts = TextsOf(modal);
        for (QPushButton* button : modal->findChildren<QPushButton*>())
            if (button->isDefault())
                defaultButton = button;
        shownAt = modal->frameGeometry();
        shownWindow = modal->winId();
        GetParam().act(modal);
    });

    EXPECT_NE(result, 99) << "the dialog did not end";
    EXPECT_EQ(dialog.ExitConfirmed(), GetParam().confirmed);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("프로그램 종료?"));
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("퀼리를 종료합니다."), QStringLiteral("확실합니까?")}));
    EXPECT_EQ(defaultButton, ButtonNamed(&dialog, QStringLiteral("취소")));
    EXPECT_NE(ButtonNamed(&dialog, QStringLiteral("확인")), nullptr);
    EXPECT_EQ(dialog.size(), QSize(288, 129));
    EXPECT_EQ(dialog.parentWidget(), &owner);
    EXPECT_TRUE(dialog.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(styler.toolWindows.count(shownWindow));
    EXPECT_LE(CentreDistance(shownAt, QGuiApplication::primaryScreen()->geometry()), 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ExitConfirmationTest,
    ::testing::Values(
        ExitEnding{"ClickOk",
                   [](QDialog* d) {
                       QTest::mouseClick(ButtonNamed(d, QStringLiteral("확인")), Qt::LeftButton);
                   },
                   true},
        ExitEnding{"ClickCancel",
                   [](QDialog* d) {
                       QTest::mouseClick(ButtonNamed(d, QStringLiteral("취소")), Qt::LeftButton);
                   },
                   false},
        ExitEnding{"Escape", [](QDialog* d) { PressKey(d, Qt::Key_Escape); }, false},
        ExitEnding{"Enter", [](QDialog* d) { PressKey(d, Qt::Key_Return); }, false},
        ExitEnding{"KeypadEnter", [](QDialog* d) { PressKey(d, Qt::Key_Enter); }, false},
        ExitEnding{"EnterWhileOkHasFocus",
                   [](QDialog* d) {
                       QPushButton* ok = ButtonNamed(d, QStringLiteral("확인"));
                       ok->setFocus();
                       QTest::keyClick(ok, Qt::Key_Return);
                   },
                   false},
        ExitEnding{"CaptionClose", [](QDialog* d) { d->close(); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExitConfirmation, ShowingAgainAfterAConfirmationStartsUnconfirmed) {
    QWidget owner;
    FakeWindowStyler styler;
    TExitProgram dialog(&owner, styler);
    RunModal(dialog, [](QDialog* d) {
        QTest::mouseClick(ButtonNamed(d, QStringLiteral("확인")), Qt::LeftButton);
    });
    ASSERT_TRUE(dialog.ExitConfirmed());

    RunModal(dialog, [](QDialog* d) { d->close(); });
    EXPECT_FALSE(dialog.ExitConfirmed());
}

struct AboutEnding {
    const char* name;
    std::function<void(QDialog*)> act;
};

void PrintTo(const AboutEnding& e, std::ostream* os) {
    *os << e.name;
}

class AboutBoxTest : public ::testing::TestWithParam<AboutEnding> {};

TEST_P(AboutBoxTest, ShowsTheTextOverItsOwnerAndEnds) {
    QWidget owner;
    owner.setGeometry(100, 80, 269, 678);
    owner.show();
    FakeWindowStyler styler;
    TAbout about(&owner, styler);
    QStringList texts;
    QStringList buttons;
    bool textCut = true;
    QRect shownAt;
    WId shownWindow = 0;
    const int result = RunModal(about, [&](QDialog* modal) {
        texts = TextsOf(modal);
        for (const QPushButton* button : modal->findChildren<QPushButton*>())
            buttons << button->text();
        shownAt = modal->frameGeometry();
        shownWindow = modal->winId();
        for (const QLabel* label : modal->findChildren<QLabel*>())
            if (label->text().contains(QLatin1Char('\n')))
                textCut = label->sizeHint().width() > label->width();
        GetParam().act(modal);
    });

    EXPECT_NE(result, 99) << "the about box did not end";
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About"));
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Quillet V5.0.5"));
    EXPECT_EQ(texts[1],
              QStringLiteral("    Quillet saves time and makes you more productive \n"
                             "by adding clipboard functions that the windows clipboard \n"
                             "leaves out--starting with the ability to save many clips,instead \n"
                             "of just one. Everybody needs Quillet,especially for\n"
                             "officer and programmer.\n"
                             "\n"
                             "    Thanks for using our software. Wish you like it."));
    EXPECT_FALSE(textCut) << "the seven lines do not fit the box";
    EXPECT_EQ(buttons, QStringList{QStringLiteral("확인")});
    EXPECT_EQ(about.size(), QSize(394, 231));
    EXPECT_TRUE(about.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(styler.toolWindows.count(shownWindow));
    EXPECT_LE(CentreDistance(shownAt, owner.frameGeometry()), 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, AboutBoxTest,
    ::testing::Values(AboutEnding{"ClickOk",
                                  [](QDialog* d) {
                                      QTest::mouseClick(d->findChild<QPushButton*>(),
                                                        Qt::LeftButton);
                                  }},
                      AboutEnding{"Escape", [](QDialog* d) { PressKey(d, Qt::Key_Escape); }},
                      AboutEnding{"Enter", [](QDialog* d) { PressKey(d, Qt::Key_Return); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutBox, FollowsItsOwnerFromShowToShow) {
    QWidget owner;
    owner.setGeometry(100, 80, 269, 678);
    owner.show();
    FakeWindowStyler styler;
    TAbout about(&owner, styler);
    RunModal(about, [](QDialog* d) { d->close(); });

    owner.move(600, 200);
    QRect shownAt;
    RunModal(about, [&](QDialog* d) {
        shownAt = d->frameGeometry();
        d->close();
    });
    EXPECT_LE(CentreDistance(shownAt, owner.frameGeometry()), 1.0);
}

}  // namespace
}  // namespace quillet::app
