#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

// Helpers for tests that drive the real program under X: other programs run as X clients, the
// program folder is a private copy of the built one.
namespace quillet::e2e {

// Runs `program` with `args` and returns its standard output; empty when it fails or takes
// longer than `timeoutMs`.
QString RunTool(const QString& program, const QStringList& args, int timeoutMs = 5000);

// Runs the event loop until `done` or `timeoutMs` has passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000);

// Ids of the visible windows whose title is exactly `title`, of process `pid` when not 0.
QStringList FindWindows(const QString& title, qint64 pid = 0);

// Waits until FindWindows finds one; returns its id, or empty after `timeoutMs`.
QString WaitForWindow(const QString& title, qint64 pid = 0, int timeoutMs = 10000);

// The value of window property `name` as xprop prints it.
QString WindowProperty(const QString& window, const QString& name);

// Gives `window` the focus and types `keys` (xdotool key names, separated by spaces) into it.
// The keys go through the server as real key strokes: sent straight to the window instead, a
// release that arrives after the window closed on the press would leave the key held down.
void TypeKeys(const QString& window, const QString& keys);

// Asks `window` to close, as the window manager's close button does (WM_DELETE_WINDOW).
void AskToClose(const QString& window);

// Asks the program's main window to close and confirms the exit dialog on its "확인" button;
// true when the process then ended.
bool ExitConfirmed(QProcess& process, const QString& mainWindow);

// A copy of the built program folder in a temporary folder, and a separate runtime folder for
// the instance lock, so that tests never meet each other's instances.
class ProgramFolder {
  public:
    ProgramFolder();

    QString path() const { return folder_.path(); }
    QString file(const QString& name) const { return folder_.filePath(name); }
    QString runtimeDir() const { return runtime_.path(); }

    // Starts the program with the current directory `workingDir` (a folder that holds no
    // database of its own). The process ends when the returned object is destroyed.
    std::unique_ptr<QProcess> start(const QString& workingDir) const;

  private:
    QTemporaryDir folder_;
    QTemporaryDir runtime_;
};

}  // namespace quillet::e2e
