#pragma once

#include <QProxyStyle>

namespace quillet::app {

// The application's style with quick tooltips: a tooltip appears 100 ms after the pointer comes
// to rest on a control. Moving on to a neighbouring control while one shows brings the next at
// once, which the toolkit does by itself.
class HintTimingStyle final : public QProxyStyle {
    Q_OBJECT
  public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;
};

}  // namespace quillet::app
