#include "XSessionTools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QThread>

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
            {QStringLiteral("key"), QStringLiteral("--window"), window, keys});
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
