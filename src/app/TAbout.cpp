#include "TAbout.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

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

QStringList AboutLines() {
    return {
        QStringLiteral("    Quillet saves time and makes you more productive "),
        QStringLiteral("by adding clipboard functions that the windows clipboard "),
        QStringLiteral("leaves out--starting with the ability to save many clips,instead "),
        QStringLiteral("of just one. Everybody needs Quillet,especially for"),
        QStringLiteral("officer and programmer."),
        QString(),
        QStringLiteral("    Thanks for using our software. Wish you like it."),
    };
}

TAbout::TAbout(QWidget* parent, platform::WindowStyler& styler)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      styler_(styler) {
    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(ProgramIcon());
    setFixedSize(394, 231);

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramPixmap(32));
    icon->setFixedSize(32, 32);
    icon->setAccessibleName(QStringLiteral("Quillet"));

    auto* name = new QLabel(QStringLiteral("Quillet V5.0.5"), this);
    name->setAccessibleName(name->text());
    QFont nameFont = name->font();
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.5);
    nameFont.setBold(true);
    name->setFont(nameFont);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(icon);
    top->addWidget(name, 1);

    // Plain text keeps the leading blanks of the lines, which rich text would fold away.
    auto* text = new QLabel(AboutLines().join(QLatin1Char('\n')), this);
    text->setTextFormat(Qt::PlainText);
    text->setAccessibleName(text->text());
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The box has a fixed width and the lines must not wrap or be cut, so on a desktop with a
    // wider font the text font is made smaller until the longest line fits.
    const int margin = 12;
    const int room = width() - 2 * margin;
    QFont textFont = text->font();
    auto widest = [&textFont] {
        const QFontMetrics metrics(textFont);
        int most = 0;
        for (const QString& line : AboutLines())
            most = std::max(most, metrics.horizontalAdvance(line));
        return most;
    };
    while (widest() > room && textFont.pointSizeF() > 6)
        textFont.setPointSizeF(textFont.pointSizeF() - 0.5);
    text->setFont(textFont);

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setAccessibleName(ok->text());
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, 12, margin, 10);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(text, 1);
    layout->addLayout(buttons);
}

void TAbout::showEvent(QShowEvent* event) {
    if (!styled_) {
        // The marks must be on the window before the window manager first maps it.
        styler_.makeToolWindow(winId());
        styled_ = true;
    }
    // Centred again at every show: the owner may have moved since the last one.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->geometry();
    if (area.isValid())
        CentreOver(*this, area);
    QDialog::showEvent(event);
}

}  // namespace quillet::app
