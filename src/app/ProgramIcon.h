#pragma once

#include <QIcon>
#include <QPixmap>

namespace quillet::app {

// The program's icon: a clipboard with a quill stroke, drawn at the asked size so that it stays
// sharp in the title bar, the dialogs and the tray.
QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();

}  // namespace quillet::app
