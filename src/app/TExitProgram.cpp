#include "TExitProgram.h"

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

namespace {

// Moves `dialog` so that its frame's centre is the centre of `area`.
void CentreOver(QWidget& dialog, const QRect& area) {
    const QSizeF frame = dialog.frameGeometry().size();
    const QPointF topLeft = QRectF(area).center() - QPointF(frame.width(), frame.height()) / 2;
    dialog.move(topLeft.toPoint());
}

}  // namespace

TExitProgram::TExitProgram(QWidget* parent, platform::WindowStyler& styler)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      styler_(styler) {
    setWindowTitle(QStringLiteral("프로그램 종료?"));
    setWindowIcon(ProgramIcon());
    setFixedSize(288, 129);

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramPixmap(32));
    icon->setFixedSize(32, 32);
    icon->setAccessibleName(QStringLiteral("Quillet"));

    auto* text = new QVBoxLayout;
    text->setSpacing(4);
    for (const QString& line :
         {QStringLiteral("퀼리를 종료합니다."), QStringLiteral("확실합니까?")}) {
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
    layout->addLayout(top, 1);
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
    if (!styled_) {
        // The marks must be on the window before the window manager first maps it.
        styler_.makeToolWindow(winId());
        styled_ = true;
    }
    // A showing that ends with the caption's close button must not confirm. After a confirmed
    // exit the program normally ends, but if the shut-down could not finish and the program
    // went on, a stale "true" would otherwise make that close button confirm the next time.
    exitConfirmed_ = false;
    cancel_->setFocus();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        CentreOver(*this, screen->geometry());
    QDialog::showEvent(event);
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
