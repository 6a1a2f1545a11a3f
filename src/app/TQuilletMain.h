#pragma once

#include <QMainWindow>

#include <optional>
#include <vector>

#include "Settings.h"
#include "store/ClipDatabase.h"
#include "store/ClipRow.h"

namespace quillet::platform {
struct Platform;
}

namespace quillet::app {

// The main window. It owns everything that lives for the run: the settings record, the
// database connection and the clips.
class TQuilletMain final : public QMainWindow {
    Q_OBJECT
  public:
    // Runs the creation steps. A step that fails is reported through ReportError and the steps
    // after it are skipped; the window is made all the same.
    TQuilletMain(platform::Platform& platform, const QString& appFolder);
    ~TQuilletMain() override;

    const Settings& settings() const { return settings_; }
    const std::vector<store::ClipRow>& clips() const { return clipList_; }
    bool databaseOpen() const { return database_.has_value() && database_->isOpen(); }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void FormCreate();

    platform::Platform& platform_;
    const QString appFolder_;
    Settings settings_;
    std::optional<store::ClipDatabase> database_;
    std::vector<store::ClipRow> clipList_;
    qint64 lastClipId_ = 0;
    bool firstShow_ = true;
};

}  // namespace quillet::app
