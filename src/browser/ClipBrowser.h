#pragma once

#include <QObject>

#include <functional>

namespace quillet::capture {
class ClipboardWriter;
}
namespace quillet::store {
class ClipDatabase;
}

namespace quillet::browser {

class ClipGrid;
class ClipGridModel;
class ClipList;
class ClipPreview;

// The clip browser's handlers: what a selection, an edit in the memo and the producers of new
// clips do to the list, the grid, the preview, the store and the clipboard. The widgets only
// report; the decisions are made here.
class ClipBrowser final : public QObject {
    Q_OBJECT
  public:
    // Lets the given milliseconds pass while events keep being dispatched.
    using WaitFunction = std::function<void(int ms)>;
    // Shows the clip-count text in the status bar.
    using CountTextSink = std::function<void(const QString&)>;

    ClipBrowser(ClipList& list, ClipGridModel& model, ClipGrid& grid, ClipPreview& preview,
                capture::ClipboardWriter& clipboard, WaitFunction wait, CountTextSink countText,
                QObject* parent = nullptr);

    // The connection the handlers use; nullptr while none is open (the handlers then do nothing
    // that needs the store).
    void setDatabase(store::ClipDatabase* database) { database_ = database; }

    // Shows the selected clip and, unless ShowWithoutCopy is set, puts it on the clipboard.
    // After an arrow key it first waits 200 ms, and gives way when the selection moved meanwhile.
    void bsSkinStringGrid1Click();

    // Makes `gridRow` current and runs the selection handler, as a click on another row does;
    // the row that is current already changes nothing.
    void SetCurrentRow(qsizetype gridRow);

    // Selects the newest clip and shows it without putting it on the clipboard.
    void SelectNewestClip();

    // Brings the grid's rows and the clip-count text up to date with the list.
    void Repaint();

    // The memo's write-back: stores `text` as the selected clip's content, and puts it on the
    // clipboard.
    void bsSkinMemo1Change(const QString& text);

    // Ctrl+V in the memo: the memo's text goes on the clipboard.
    void CopyMemoText();

    bool ShowWithoutCopy = false;
    bool ArrowKeyPending = false;

  private:
    ClipList& list_;
    ClipGridModel& model_;
    ClipGrid& grid_;
    ClipPreview& preview_;
    capture::ClipboardWriter& clipboard_;
    WaitFunction wait_;
    CountTextSink countText_;
    store::ClipDatabase* database_ = nullptr;
};

}  // namespace quillet::browser
