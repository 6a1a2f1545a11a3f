#pragma once

#include <QStringList>

#include "FixedDialog.h"

namespace quillet::app {

// The seven lines that the about box shows below the program's name, blanks included.
QStringList AboutLines();

// The about box "About": the program icon, "Quillet V5.0.5" in a larger font, AboutLines() and
// the one button "확인". A fixed dialog above other windows, owned by `parent`, without a taskbar
// entry, centred over `parent` at every show. "확인", Esc, Enter and the caption's close button
// all end it. Made once and shown modally again and again.
class TAbout : public FixedDialog {
    Q_OBJECT
  public:
    TAbout(QWidget* parent, platform::WindowStyler& styler);

  protected:
    QRect centreArea() const override;
};

}  // namespace quillet::app
