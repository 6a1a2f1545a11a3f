#include "TExitProgram.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace quillet::app {

TExitProgram::TExitProgram(QWidget* parent, platform::WindowStyler& styler)
    : FixedDialog(parent, styler, QStringLiteral("프로그램 종료?"), QSize(288, 129)) {
    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setAccessibleName(ok->text());
    // A focused auto-default button would take Enter as a click; Enter must cancel here.
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, [this] { finish(true); });

    cancel_ = new QPushButton(QStringLiteral("취소"), this);
    cancel_->setAccessibleName(cancel_->text());
    cancel_->setDefault(true);
    connect(cancel_, &QPushButton::clicked, this, [this] { finish(false); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel_);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(
        iconAndLines({QStringLiteral("퀼리를 종료합니다."), QStringLiteral("확실합니까?")}), 1);
    layout->addLayout(buttons);
}

void TExitProgram::finish(bool confirmed) {
    exitConfirmed_ = confirmed;
    if (confirmed)
        accept();
    else
        reject();
}

void TExitProgram::showEvent(QShowEvent* event) {
    // A showing that ends with the caption's close button must not confirm. After a confirmed
    // exit the program normally ends, but if the shut-down could not finish and the program
    // went on, a stale "true" would otherwise make that close button confirm the next time.
    exitConfirmed_ = false;
    cancel_->setFocus();
    FixedDialog::showEvent(event);
}

void TExitProgram::keyPressEvent(QKeyEvent* event) {
    // Enter cancels like Esc, whichever control has the focus: only a click on "확인" confirms.
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            finish(false);
            return;
        default:
            QDialog::keyPressEvent(event);
    }
}

}  // namespace quillet::app
