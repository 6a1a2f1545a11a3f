#pragma once

#include <QApplication>

#include <exception>

namespace quillet::app {

// Shows `error`'s message in a message box above every window and returns when the user has
// read it. The one place where errors that no handler caught are reported.
void ReportError(const std::exception& error);

// The application object. An error that escapes an event handler (a failing store operation,
// say) is reported by ReportError, the rest of that handler is skipped, and the program goes on.
class QuilletApplication final : public QApplication {
    Q_OBJECT
  public:
    QuilletApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace quillet::app
