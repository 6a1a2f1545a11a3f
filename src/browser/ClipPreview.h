#pragma once

#include <QByteArray>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPoint>
#include <QString>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QMenu;
class QRadioButton;
class QScrollArea;

namespace quillet::browser {

// The line break of the platform's text files and clipboard: CR LF on Windows, LF elsewhere.
QString PlatformLineBreak();

// `text` with every line break (CR LF, a CR alone, a LF alone) replaced by `lineBreak`; all other
// characters stay as they are.
QString NormalizeLineBreaks(const QString& text, const QString& lineBreak);

// The text editor of the preview. Ctrl+V never pastes into it: the key is consumed and
// copyRequested() emitted instead. Its context menu holds the one item "모두 선택", which selects
// the whole text.
class PreviewMemo : public QPlainTextEdit {
    Q_OBJECT

  public:
    explicit PreviewMemo(QWidget* parent = nullptr);

    // The context menu that a right click opens.
    QMenu* contextMenu() const { return contextMenu_; }

  Q_SIGNALS:
    // Ctrl+V (with or without further modifiers) was pressed; the memo did not change.
    void copyRequested();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    QMenu* contextMenu_;
};

// The picture of an image clip at the top-left of the scroll box; it takes the size of the
// picture it holds and shows the four-way move cursor. Pulling it with the left button alone
// (no other button, no Shift, Ctrl or Alt) reports how far the pointer moved from where the
// last button went down, in the view's own coordinates.
class ImageView : public QLabel {
    Q_OBJECT

  public:
    explicit ImageView(QWidget* parent = nullptr);

    // Shows `picture` and takes its size; a null picture leaves an empty view of size 0 x 0.
    void setPicture(const QPixmap& picture);

  Q_SIGNALS:
    // The pointer is at (x, y) while the grab point is (x0, y0): dx = x0 - x, dy = y0 - y. The
    // grab point stays where the button went down.
    void pulled(int dx, int dy);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private:
    QPoint grabPoint_;
};

// The preview below the clip grid: a text clip in an editable memo, an image clip in a scroll
// box that shows it at full size ("스크롤") or scaled down to fit ("스케일").
//
// It only displays and reports; reading the store and writing the clipboard belong to its
// caller. At construction it is in its design state: the empty image box lies in front of the
// empty, editable memo, the word-wrap box "자동 줄 바꿈" is shown and not ticked, and the image
// mode choice is hidden with "스크롤" selected. The mode choice and the word-wrap box keep the
// user's choice for the life of the widget.
class ClipPreview : public QWidget {
    Q_OBJECT

  public:
    enum class ImageMode { Scroll = 0, Scale = 1 };

    explicit ClipPreview(QWidget* parent = nullptr);

    // Text mode: shows the memo and the word-wrap box, hides the image box and the mode choice,
    // and loads `text` with its line breaks normalised. The load emits no textEditedByUser() and
    // leaves the memo's modified flag cleared and its undo history empty. The read-only state is
    // not changed.
    void showText(const QString& text);

    // Image mode: shows the image box and the mode choice, hides the memo and the word-wrap box,
    // lays the controls out so that the box has its final size, and then decodes the BMP file
    // `bmp`. "스크롤" shows it pixel for pixel at its own size; "스케일" stretches it into
    // ScaledSize() of the box's outer size. Returns the decoded image. Throws ImageDecodeError
    // when `bmp` cannot be decoded; the controls are switched to image mode all the same and the
    // previous picture stays.
    QImage showImage(const QByteArray& bmp);

    // The memo's whole text, with the platform's line breaks.
    QString memoText() const;

    // While set, the memo refuses typing, cut, paste, delete and undo, and still lets the user
    // select (mouse and keyboard) and copy.
    void setReadOnly(bool readOnly);
    bool isReadOnly() const;

    ImageMode imageMode() const;
    bool isWordWrapped() const;

    PreviewMemo* previewMemo() const { return memo_; }
    QScrollArea* imageScrollBox() const { return imageBox_; }
    ImageView* imageView() const { return imageView_; }
    QWidget* imageModeChoice() const { return modeChoice_; }
    QRadioButton* scrollModeButton() const { return scrollButton_; }
    QRadioButton* scaleModeButton() const { return scaleButton_; }
    QCheckBox* wordWrapBox() const { return wordWrapBox_; }

  Q_SIGNALS:
    // The user changed the memo's text (typing, deleting, cutting, pasting, undoing); `text` is
    // memoText() after the change. Emitted once per change, never for showText().
    void textEditedByUser(const QString& text);
    // The user clicked either image mode, also the one already selected.
    void imageModeClicked();
    // The user pressed Ctrl+V in the memo; the memo's text is unchanged.
    void copyMemoRequested();

  private:
    void showTextMode();
    void showImageMode();
    void applyWordWrap(bool wrap);
    void scrollImageBy(int dx, int dy);

    PreviewMemo* memo_;
    QScrollArea* imageBox_;
    ImageView* imageView_;
    QWidget* modeChoice_;
    QRadioButton* scrollButton_;
    QRadioButton* scaleButton_;
    QButtonGroup* modeGroup_;
    QCheckBox* wordWrapBox_;
    bool loading_ = false;
};

}  // namespace quillet::browser
