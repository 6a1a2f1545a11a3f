#include "NoticeDialog.h"

#include <QKeyEvent>
#include <QVBoxLayout>

namespace quillet::app {

NoticeDialog::NoticeDialog(platform::WindowStyler& styler, const QString& caption,
                           const QStringList& lines, QSize clientSize, QWidget* parent)
    : FixedDialog(parent, styler, caption, clientSize) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(iconAndLines(lines), 1);
    layout->addLayout(okButtonRow());
}

void NoticeDialog::keyPressEvent(QKeyEvent* event) {
    // Enter ends the notice as well as Esc, whichever control has the focus.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return;
        case Qt::Key_Escape:
            reject();
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

}  // namespace quillet::app
