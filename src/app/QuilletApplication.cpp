#include "QuilletApplication.h"

#include <QMessageBox>

#include "ProgramIcon.h"

namespace quillet::app {

void ReportError(const std::exception& error) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillet"),
                    QString::fromUtf8(error.what()), QMessageBox::Ok);
    // The main window stays on top of everything; the report must not hide behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    box.setAccessibleName(QStringLiteral("Quillet"));
    box.exec();
}

QuilletApplication::QuilletApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The application title. No display name is set: X11 window titles would carry it too.
    setApplicationName(QStringLiteral("Quillet"));
    setWindowIcon(ProgramIcon());
}

bool QuilletApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ReportError(error);
    }
    return false;
}

}  // namespace quillet::app
