#include "ClipBrowser.h"

#include "ClipGrid.h"
#include "ClipGridModel.h"
#include "ClipList.h"
#include "ClipPreview.h"
#include "capture/ClipboardWriter.h"
#include "store/ClipDatabase.h"

namespace quillet::browser {

namespace {
// How long the selection handler waits after an arrow key, so that a held key loads only the
// row where the selection comes to rest.
constexpr int kArrowKeyWaitMs = 200;
}  // namespace

ClipBrowser::ClipBrowser(ClipList& list, ClipGridModel& model, ClipGrid& grid, ClipPreview& preview,
                         capture::ClipboardWriter& clipboard, WaitFunction wait,
                         CountTextSink countText, QObject* parent)
    : QObject(parent),
      list_(list),
      model_(model),
      grid_(grid),
      preview_(preview),
      clipboard_(clipboard),
      wait_(std::move(wait)),
      countText_(std::move(countText)) {
    connect(&grid_, &ClipGrid::rowClicked, this, [this](qsizetype row) {
        if (row == list_.CurrentRow())
            bsSkinStringGrid1Click();
        else
            SetCurrentRow(row);
    });
    connect(&grid_, &ClipGrid::moveRequested, this, &ClipBrowser::SetCurrentRow);
    connect(&grid_, &ClipGrid::arrowKeyPressed, this, [this] { ArrowKeyPending = true; });
    connect(&preview_, &ClipPreview::textEditedByUser, this, &ClipBrowser::bsSkinMemo1Change);
    connect(&preview_, &ClipPreview::copyMemoRequested, this, &ClipBrowser::CopyMemoText);
    connect(&preview_, &ClipPreview::imageModeClicked, this, &ClipBrowser::bsSkinStringGrid1Click);
    Repaint();
}

void ClipBrowser::bsSkinStringGrid1Click() {
    const qsizetype startRow = list_.CurrentRow();
    if (ArrowKeyPending)
        wait_(kArrowKeyWaitMs);
    ArrowKeyPending = false;
    // A move during the wait started a run of its own, which shows that row instead.
    if (list_.CurrentRow() != startRow || list_.isEmpty() || !database_)
        return;

    const store::ClipRow clip = *list_.SelectedClip();
    if (clip.DataFormat == store::kTextClip) {
        const store::ClipContent content = database_->ReadClipContent(clip.ID, clip.DataFormat);
        preview_.showText(content.text);
        if (!ShowWithoutCopy)
            clipboard_.writeText(content.text);
    } else if (clip.DataFormat == store::kImageClip) {
        const store::ClipContent content = database_->ReadClipContent(clip.ID, clip.DataFormat);
        const QImage image = preview_.showImage(content.bytes);
        if (!ShowWithoutCopy)
            clipboard_.writeImage(image);
    }
    ShowWithoutCopy = false;
}

void ClipBrowser::SetCurrentRow(qsizetype gridRow) {
    if (!list_.SetCurrentRow(gridRow))
        return;
    grid_.showCurrentRow(gridRow);
    Repaint();
    bsSkinStringGrid1Click();
}

void ClipBrowser::SelectNewestClip() {
    ShowWithoutCopy = true;
    if (list_.CurrentRow() != ClipList::kNewestRow)
        SetCurrentRow(ClipList::kNewestRow);
    else
        bsSkinStringGrid1Click();
}

void ClipBrowser::Repaint() {
    model_.refresh();
    grid_.showCurrentRow(list_.CurrentRow());
    grid_.viewport()->update();
    countText_(list_.ClipCountText());
}

void ClipBrowser::bsSkinMemo1Change(const QString& text) {
    store::ClipRow* clip = list_.SelectedClip();
    if (!clip || !database_)
        return;
    database_->UpdateClipContent(clip->ID, text);
    clip->Modified = 1;
    clip->Size = qint32(text.size());
    Repaint();
    clipboard_.writeText(text);
}

void ClipBrowser::CopyMemoText() {
    // With no clip there is only the notice text in the memo; that is nobody's clip.
    if (list_.isEmpty())
        return;
    clipboard_.writeText(preview_.memoText());
}

}  // namespace quillet::browser
