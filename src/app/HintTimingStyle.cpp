#include "HintTimingStyle.h"

namespace quillet::app {

int HintTimingStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                               QStyleHintReturn* returnData) const {
    if (hint == SH_ToolTip_WakeUpDelay)
        return 100;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

}  // namespace quillet::app
