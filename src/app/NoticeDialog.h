#pragma once

#include <QDialog>
#include <QSize>
#include <QStringList>

namespace quillet::platform {
class WindowStyler;
}

namespace quillet::app {

// A fixed-size notice with the program icon, a few lines of text and the one button "확인".
// It stays above other windows, has no taskbar entry and opens centred on the primary screen.
// "확인", Esc, Enter and the caption's close button all end it.
class NoticeDialog : public QDialog {
    Q_OBJECT
  public:
    NoticeDialog(platform::WindowStyler& styler, const QString& caption, const QStringList& lines,
                 QSize clientSize, QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    platform::WindowStyler& styler_;
    bool styled_ = false;
};

}  // namespace quillet::app
