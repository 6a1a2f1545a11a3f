#include "TAbout.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

#include "ProgramIcon.h"

namespace quillet::app {

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
    : FixedDialog(parent, styler, QStringLiteral("About"), QSize(394, 231)) {
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

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, 12, margin, 10);
    layout->setSpacing(8);
    layout->addLayout(top);
    layout->addWidget(text, 1);
    layout->addLayout(okButtonRow());
}

QRect TAbout::centreArea() const {
    // Over the owner, wherever it is now.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    return owner ? owner->frameGeometry() : FixedDialog::centreArea();
}

}  // namespace quillet::app
