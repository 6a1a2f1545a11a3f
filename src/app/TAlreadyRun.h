#pragma once

#include "NoticeDialog.h"

namespace quillet::app {

// Shown instead of the program when another instance runs already; ending it ends the run.
class TAlreadyRun final : public NoticeDialog {
    Q_OBJECT
  public:
    explicit TAlreadyRun(platform::WindowStyler& styler);
};

}  // namespace quillet::app
