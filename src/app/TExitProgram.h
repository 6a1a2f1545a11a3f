#pragma once

#include "FixedDialog.h"

class QPushButton;

namespace quillet::app {

// The exit confirmation "프로그램 종료?": the program icon, "퀼리를 종료합니다." and
// "확실합니까?", and the buttons "확인" and "취소", of which "취소" is the default. A fixed
// dialog above other windows, owned by `parent`, without a taskbar entry, centred on the
// primary screen at every show. Made once and shown modally at every close request.
class TExitProgram : public FixedDialog {
    Q_OBJECT
  public:
    TExitProgram(QWidget* parent, platform::WindowStyler& styler);

    // True only when the last showing ended with a click on "확인". "취소", Esc, Enter (also
    // with "확인" focused) and the caption's close button all leave it false; it is false
    // before the first showing too.
    bool ExitConfirmed() const { return exitConfirmed_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void finish(bool confirmed);

    QPushButton* cancel_;
    bool exitConfirmed_ = false;
};

}  // namespace quillet::app
