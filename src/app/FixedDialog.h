#pragma once

#include <QDialog>
#include <QSize>
#include <QStringList>

class QHBoxLayout;

namespace quillet::platform {
class WindowStyler;
}

namespace quillet::app {

// What every small dialog of the program shares: a fixed client size, a caption bar with only
// the close button, the program icon, always on top and without a taskbar entry, and centred at
// every show (on the primary screen unless centreArea() says otherwise).
class FixedDialog : public QDialog {
    Q_OBJECT
  public:
    FixedDialog(QWidget* parent, platform::WindowStyler& styler, const QString& caption,
                QSize clientSize);

  protected:
    // The 32 × 32 program icon at the left and `lines` of text beside it, one label each.
    QHBoxLayout* iconAndLines(const QStringList& lines);

    // The one button "확인", centred and default, which accepts the dialog.
    QHBoxLayout* okButtonRow();

    // The screen area the dialog is centred on when it shows.
    virtual QRect centreArea() const;

    void showEvent(QShowEvent* event) override;

  private:
    platform::WindowStyler& styler_;
};

}  // namespace quillet::app
