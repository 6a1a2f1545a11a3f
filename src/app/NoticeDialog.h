#pragma once

#include "FixedDialog.h"

namespace quillet::app {

// A notice with the program icon, a few lines of text and the one button "확인". "확인", Esc,
// Enter and the caption's close button all end it.
class NoticeDialog : public FixedDialog {
    Q_OBJECT
  public:
    NoticeDialog(platform::WindowStyler& styler, const QString& caption, const QStringList& lines,
                 QSize clientSize, QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace quillet::app
