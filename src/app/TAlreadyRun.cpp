#include "TAlreadyRun.h"

namespace quillet::app {

TAlreadyRun::TAlreadyRun(platform::WindowStyler& styler)
    : NoticeDialog(styler, QStringLiteral("주의"), {QStringLiteral("퀼리는 이미 실행 중입니다.")},
                   QSize(399, 114)) {}

}  // namespace quillet::app
