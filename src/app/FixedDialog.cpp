#include "FixedDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ProgramIcon.h"
#include "platform/WindowStyler.h"

namespace quillet::app {

FixedDialog::FixedDialog(QWidget* parent, platform::WindowStyler& styler, const QString& caption,
                         QSize clientSize)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      styler_(styler) {
    setWindowTitle(caption);
    setWindowIcon(ProgramIcon());
    setAccessibleName(caption);
    setFixedSize(clientSize);
}

QHBoxLayout* FixedDialog::iconAndLines(const QStringList& lines) {
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

    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    return row;
}

QHBoxLayout* FixedDialog::okButtonRow() {
    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setAccessibleName(ok->text());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addStretch();
    return row;
}

QRect FixedDialog::centreArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

void FixedDialog::showEvent(QShowEvent* event) {
    // The marks must be on the window before the window manager maps it, at every show: the
    // window manager drops them when the window is hidden.
    styler_.makeToolWindow(winId());
    // Centred at every show: the screen or the owner may have changed since the last one.
    if (const QRect area = centreArea(); area.isValid()) {
        const QSizeF frame = frameGeometry().size();
        move((QRectF(area).center() - QPointF(frame.width(), frame.height()) / 2).toPoint());
    }
    QDialog::showEvent(event);
}

}  // namespace quillet::app
