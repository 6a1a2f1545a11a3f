#include "TDatabaseNotHere.h"

namespace quillet::app {

TDatabaseNotHere::TDatabaseNotHere(platform::WindowStyler& styler)
    : NoticeDialog(styler, QStringLiteral("주의"),
                   {QStringLiteral("데이터베이스를 찾지 못했습니다."),
                    QStringLiteral("소프트웨어를 재설치 하거나 데이터베이스를 복구하십시오.")},
                   QSize(413, 144)) {}

}  // namespace quillet::app
