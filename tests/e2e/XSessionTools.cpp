#include "XSessionTools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace quillet::e2e {

QString RunTool(const QString& program, const QStringList& args, int timeoutMs) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

QStringList FindWindows(const QString& title, qint64 pid) {
    QStringList args{QStringLiteral("search"), QStringLiteral("--all"),
                     QStringLiteral("--onlyvisible")};
    if (pid != 0)
        args << QStringLiteral("--pid") << QString::number(pid);
    args << QStringLiteral("--name")
         << QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    return RunTool(QStringLiteral("xdotool"), args).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString WaitForWindow(const QString& title, qint64 pid, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        const QStringList found = FindWindows(title, pid);
        if (!found.isEmpty())
            return found.front();
        QThread::msleep(50);
    }
    return {};
}

QString WindowProperty(const QString& window, const QString& name) {
    return RunTool(QStringLiteral("xprop"), {QStringLiteral("-id"), window, name}).trimmed();
}

void TypeKeys(const QString& window, const QString& keys) {
    RunTool(QStringLiteral("xdotool"),
            {QStringLiteral("windowactivate"), QStringLiteral("--sync"), window});
    RunTool(QStringLiteral("xdotool"),
            QStringList{QStringLiteral("key")} + keys.split(QLatin1Char(' ')));
}

void AskToClose(const QString& window) {
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return;
    }
    const auto atom = [c](const char* name) {
        auto* reply = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = xcb_window_t(window.toULong());
    message.type = atom("WM_PROTOCOLS");
    message.data.data32[0] = atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, message.window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    xcb_disconnect(c);
}

bool ExitConfirmed(QProcess& process, const QString& mainWindow) {
    AskToClose(mainWindow);
    const QString dialog =
        WaitForWindow(QStringLiteral("프로그램 종료?"), process.processId(), 10000);
    if (dialog.isEmpty())
        return false;
    // The focus starts on "취소"; "확인" is the button before it.
    TypeKeys(dialog, QStringLiteral("shift+Tab space"));
    return process.waitForFinished(10000);
}

ProgramFolder::ProgramFolder() {
    QFile::setPermissions(runtime_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QDir dist(QStringLiteral(QUILLET_DIST));
    for (const QString& name : {QStringLiteral("quillet"), QStringLiteral("ClipsData.db")}) {
        QFile::copy(dist.filePath(name), folder_.filePath(name));
    }
    QFile::setPermissions(folder_.filePath(QStringLiteral("quillet")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

std::unique_ptr<QProcess> ProgramFolder::start(const QString& workingDir) const {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(workingDir);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start(file(QStringLiteral("quillet")), {});
    process->waitForStarted();
    return process;
}

}  // namespace quillet::e2e
