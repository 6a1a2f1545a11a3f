#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

#include <functional>

#include "app/ShellTargets.h"

namespace quillet::app {
namespace {

// Stands in for the desktop's programs: records every URL handed to it.
class UrlRecorder : public QObject {
    Q_OBJECT
  public:
    UrlRecorder() {
        for (const char* scheme : {"file", "https", "mailto"})
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
    }
    ~UrlRecorder() override {
        for (const char* scheme : {"file", "https", "mailto"})
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }

    QList<QUrl> opened;

  public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

struct Command {
    const char* name;
    std::function<void()> run;
    QUrl expected;
};

void PrintTo(const Command& c, std::ostream* os) {
    *os << c.name;
}

class HelpMenuTest : public ::testing::TestWithParam<Command> {};

TEST_P(HelpMenuTest, OpensItsTargetOnce) {
    UrlRecorder desktop;
    GetParam().run();
    EXPECT_EQ(desktop.opened, QList<QUrl>{GetParam().expected});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, HelpMenuTest,
    ::testing::Values(
        Command{"Help", [] { OpenHelpDocument(QStringLiteral("/opt/Quillet Folder/")); },
                QUrl(QStringLiteral("file:///opt/Quillet%20Folder/quillet.html"))},
        Command{"Website", [] { OpenWebsite(); }, QUrl(QStringLiteral("https://quillet.example/"))},
        Command{"EmailUs", [] { OpenEmailUs(); },
                QUrl(QStringLiteral("mailto:support@quillet.example"))}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillet::app

#include "ShellTargetsTest.moc"
