#include "NoticeDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ProgramIcon.h"
#include "platform/WindowStyler.h"

namespace quillet::app {

NoticeDialog::NoticeDialog(platform::WindowStyler& styler, const QString& caption,
                           const QStringList& lines, QSize clientSize, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      styler_(styler) {
    setWindowTitle(caption);
    setWindowIcon(ProgramIcon());
    setFixedSize(clientSize);

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramPixmap(32));
    icon->setFixedSize(32, 32);
    icon->setAccessibleName(QStringLiteral("Quillet"));

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    for (const QString& line : lines) {
        auto* label = new QLabel(line, this);
        label->setAccessibleName(line);
        text->addWidget(label);
    }
    text->addStretch();

    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setAccessibleName(ok->text());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
}

void NoticeDialog::showEvent(QShowEvent* event) {
    if (!styled_) {
        // The marks must be on the window before the window manager first maps it.
        styler_.makeToolWindow(winId());
        styled_ = true;
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect desktop = screen->geometry();
            move(desktop.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QDialog::showEvent(event);
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
