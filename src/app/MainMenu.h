#pragma once

#include <QHash>
#include <QString>

class QAction;
class QMenuBar;

namespace quillet::app {

// The main menu: each item's name (its QAction's object name) and caption, built from one
// table. Items are found by name; the window connects them to their handlers.
class MainMenu {
  public:
    // Fills `bar` with the menus and their items, separators and submenus.
    explicit MainMenu(QMenuBar& bar);

    // The item called `name`, e.g. "ExitProgram1"; nullptr for an unknown name.
    QAction* item(const QString& name) const { return items_.value(name); }

  private:
    QHash<QString, QAction*> items_;
};

}  // namespace quillet::app
