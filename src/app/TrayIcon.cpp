#include "TrayIcon.h"

#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>

#include "ProgramIcon.h"

namespace quillet::app {

namespace {

// The menu from top to bottom; an entry without a name is a separator.
struct TrayMenuEntry {
    const char* name;
    const char16_t* caption;
};

constexpr TrayMenuEntry kTrayMenu[] = {
    {"CaptureFullScreenCtrlAltF1", u"전체 화면 캡처"},
    {"CaptureRegionCtrlAltZ1", u"범위 캡처"},
    {nullptr, nullptr},
    {"Option2", u"캡처 멈춤"},
    {nullptr, nullptr},
    {"Options2", u"옵션"},
    {nullptr, nullptr},
    {"Quit2", u"종료"},
};

}  // namespace

TrayIcon::TrayIcon(QObject* parent)
    : QObject(parent), menu_(new QMenu), icon_(new QSystemTrayIcon(this)) {
    menu_->setAccessibleName(QStringLiteral("Quillet"));
    for (const TrayMenuEntry& entry : kTrayMenu) {
        if (!entry.name) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromUtf16(entry.caption));
        action->setObjectName(QLatin1String(entry.name));
        items_.insert(action->objectName(), action);
    }
    icon_->setIcon(ProgramIcon());
    icon_->setToolTip(QStringLiteral("Quillet"));
    icon_->setContextMenu(menu_);
    connect(icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason why) {
                if (why == QSystemTrayIcon::Trigger)
                    Q_EMIT clicked();
            });
    icon_->show();
}

// The menu has no parent (a tray menu is a window of its own); it goes with the icon.
TrayIcon::~TrayIcon() {
    icon_->hide();
    icon_->setContextMenu(nullptr);
    delete menu_;
}

}  // namespace quillet::app
