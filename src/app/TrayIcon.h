#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quillet::app {

// The program's icon in the notification area, with its menu. Items are found by name, as the
// main menu's are; the main window connects them. When no tray host runs yet, the icon appears
// as soon as one starts.
class TrayIcon final : public QObject {
    Q_OBJECT
  public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    // The menu item called `name`, e.g. "Quit2"; nullptr for an unknown name.
    QAction* item(const QString& name) const { return items_.value(name); }
    QMenu& menu() const { return *menu_; }
    QSystemTrayIcon& icon() const { return *icon_; }

  Q_SIGNALS:
    // The icon was clicked with the left mouse button.
    void clicked();

  private:
    QMenu* menu_;
    QSystemTrayIcon* icon_;
    QHash<QString, QAction*> items_;
};

}  // namespace quillet::app
