#pragma once

#include "NoticeDialog.h"

namespace quillet::app {

// Shown instead of the program when ClipsData.db cannot be opened; ending it ends the run.
class TDatabaseNotHere final : public NoticeDialog {
    Q_OBJECT
  public:
    explicit TDatabaseNotHere(platform::WindowStyler& styler);
};

}  // namespace quillet::app
