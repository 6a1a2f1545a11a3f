#include "browser/ClipPreview.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>

#include "browser/BmpImage.h"
#include "browser/ImageScale.h"

namespace quillet::browser {

QString PlatformLineBreak() {
#ifdef Q_OS_WIN
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

QString NormalizeLineBreaks(const QString& text, const QString& lineBreak) {
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            result += lineBreak;
        } else if (c == u'\n') {
            result += lineBreak;
        } else {
            result += c;
        }
    }
    return result;
}

PreviewMemo::PreviewMemo(QWidget* parent) : QPlainTextEdit(parent), contextMenu_(new QMenu(this)) {
    setObjectName(QStringLiteral("PreviewMemo"));
    setAccessibleName(QStringLiteral("Clip text"));
    setFont(QFont(QStringLiteral("Arial"), 9));
    contextMenu_->setObjectName(QStringLiteral("PreviewMemoMenu"));
    contextMenu_->setAccessibleName(QStringLiteral("Clip text menu"));
    QAction* selectAll = contextMenu_->addAction(QStringLiteral("모두 선택"));
    connect(selectAll, &QAction::triggered, this, &QPlainTextEdit::selectAll);
}

namespace {

bool IsCtrlV(const QKeyEvent* event) {
    return event->key() == Qt::Key_V && event->modifiers().testFlag(Qt::ControlModifier);
}

}  // namespace

bool PreviewMemo::event(QEvent* event) {
    // Claiming the shortcut override makes Ctrl+V arrive as a key press here even when some
    // window-wide shortcut uses it, and even while read-only, where the editor itself would
    // let it go.
    if (event->type() == QEvent::ShortcutOverride && IsCtrlV(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QPlainTextEdit::event(event);
}

void PreviewMemo::keyPressEvent(QKeyEvent* event) {
    if (IsCtrlV(event)) {
        event->accept();
        Q_EMIT copyRequested();
        return;
    }
    // Shift+Enter would insert a Unicode line separator, which the stored text would then carry
    // instead of a line break.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers().testFlag(Qt::ShiftModifier)) {
        QKeyEvent plain(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text(), event->isAutoRepeat(), event->count());
        QPlainTextEdit::keyPressEvent(&plain);
        event->setAccepted(plain.isAccepted());
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PreviewMemo::contextMenuEvent(QContextMenuEvent* event) {
    contextMenu_->popup(event->globalPos());
    event->accept();
}

ImageView::ImageView(QWidget* parent) : QLabel(parent) {
    setObjectName(QStringLiteral("ImageView"));
    setAccessibleName(QStringLiteral("Clip image"));
    setCursor(Qt::SizeAllCursor);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setMargin(0);
    resize(0, 0);
}

void ImageView::setPicture(const QPixmap& picture) {
    setPixmap(picture);
    resize(picture.isNull() ? QSize(0, 0) : picture.size());
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    grabPoint_ = event->position().toPoint();
    event->accept();
}

void ImageView::mouseMoveEvent(QMouseEvent* event) {
    constexpr Qt::KeyboardModifiers kHeldKeys =
        Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (event->buttons() != Qt::LeftButton || (event->modifiers() & kHeldKeys)) {
        return;
    }
    const QPoint pointer = event->position().toPoint();
    // The grab point is deliberately kept: the view moves with the scroll position, so in the
    // view's own coordinates the grabbed spot returns under the pointer after every step.
    Q_EMIT pulled(grabPoint_.x() - pointer.x(), grabPoint_.y() - pointer.y());
    event->accept();
}

ClipPreview::ClipPreview(QWidget* parent)
    : QWidget(parent),
      memo_(new PreviewMemo(this)),
      imageBox_(new QScrollArea(this)),
      imageView_(new ImageView),
      modeChoice_(new QWidget(this)),
      scrollButton_(new QRadioButton(QStringLiteral("스크롤"), modeChoice_)),
      scaleButton_(new QRadioButton(QStringLiteral("스케일"), modeChoice_)),
      modeGroup_(new QButtonGroup(this)),
      wordWrapBox_(new QCheckBox(QStringLiteral("자동 줄 바꿈"), this)) {
    setAccessibleName(QStringLiteral("Clip preview"));

    modeChoice_->setObjectName(QStringLiteral("ImageModeChoice"));
    modeChoice_->setAccessibleName(QStringLiteral("Image mode"));
    scrollButton_->setAccessibleName(scrollButton_->text());
    scaleButton_->setAccessibleName(scaleButton_->text());
    modeGroup_->addButton(scrollButton_, static_cast<int>(ImageMode::Scroll));
    modeGroup_->addButton(scaleButton_, static_cast<int>(ImageMode::Scale));
    scrollButton_->setChecked(true);
    auto* modeLayout = new QHBoxLayout(modeChoice_);
    modeLayout->setContentsMargins(0, 0, 0, 0);
    modeLayout->addWidget(scrollButton_);
    modeLayout->addWidget(scaleButton_);
    modeChoice_->hide();

    wordWrapBox_->setObjectName(QStringLiteral("WordWrapBox"));
    wordWrapBox_->setAccessibleName(wordWrapBox_->text());

    imageBox_->setObjectName(QStringLiteral("ImageScrollBox"));
    imageBox_->setAccessibleName(QStringLiteral("Clip image area"));
    // Without a frame the box's outer size is the room the picture has, so that a picture
    // scaled to the outer size fits without bringing up scroll bars.
    imageBox_->setFrameShape(QFrame::NoFrame);
    imageBox_->setWidgetResizable(false);
    imageBox_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imageBox_->setWidget(imageView_);

    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(0, 0, 0, 0);
    strip->addWidget(modeChoice_);
    strip->addWidget(wordWrapBox_);
    strip->addStretch();

    // The memo and the image box share one cell; the display mode hides one of them.
    auto* area = new QGridLayout;
    area->setContentsMargins(0, 0, 0, 0);
    area->addWidget(memo_, 0, 0);
    area->addWidget(imageBox_, 0, 0);
    imageBox_->raise();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(strip);
    layout->addLayout(area, 1);

    applyWordWrap(false);

    connect(memo_, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) {
            Q_EMIT textEditedByUser(memoText());
        }
    });
    connect(memo_, &PreviewMemo::copyRequested, this, &ClipPreview::copyMemoRequested);
    connect(modeGroup_, &QButtonGroup::idClicked, this, &ClipPreview::imageModeClicked);
    connect(wordWrapBox_, &QCheckBox::toggled, this, &ClipPreview::applyWordWrap);
    connect(imageView_, &ImageView::pulled, this, &ClipPreview::scrollImageBy);
}

void ClipPreview::showText(const QString& text) {
    showTextMode();
    // A guard rather than the document's modified flag tells loads from edits: the flag drops
    // back to false when the user undoes to the loaded text, and that edit must be reported too.
    loading_ = true;
    memo_->setPlainText(NormalizeLineBreaks(text, QStringLiteral("\n")));
    loading_ = false;
}

QImage ClipPreview::showImage(const QByteArray& bmp) {
    showImageMode();
    // Showing the box and hiding the memo only schedules a new layout; running it now gives the
    // box the final size that the scale is computed from.
    layout()->activate();
    const QImage image = DecodeBmp(bmp);
    if (imageMode() == ImageMode::Scroll) {
        imageView_->setPicture(QPixmap::fromImage(image));
    } else {
        const QSize size =
            ScaledSize(image.width(), image.height(), imageBox_->width(), imageBox_->height());
        imageView_->setPicture(QPixmap::fromImage(
            image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
    }
    return image;
}

QString ClipPreview::memoText() const {
    // The raw text keeps non-breaking spaces, which toPlainText() would turn into spaces and so
    // change the clip behind the user's back; paragraph separators are the memo's line breaks.
    QString text = memo_->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, PlatformLineBreak());
    return text;
}

void ClipPreview::setReadOnly(bool readOnly) {
    memo_->setReadOnly(readOnly);
    if (readOnly) {
        // Read-only alone leaves only mouse selection; Ctrl+A and the arrow keys should still
        // select.
        memo_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
}

bool ClipPreview::isReadOnly() const {
    return memo_->isReadOnly();
}

ClipPreview::ImageMode ClipPreview::imageMode() const {
    return scaleButton_->isChecked() ? ImageMode::Scale : ImageMode::Scroll;
}

bool ClipPreview::isWordWrapped() const {
    return wordWrapBox_->isChecked();
}

void ClipPreview::showTextMode() {
    imageBox_->hide();
    modeChoice_->hide();
    memo_->show();
    wordWrapBox_->show();
}

void ClipPreview::showImageMode() {
    memo_->hide();
    wordWrapBox_->hide();
    imageBox_->show();
    modeChoice_->show();
}

void ClipPreview::applyWordWrap(bool wrap) {
    memo_->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo_->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    memo_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

void ClipPreview::scrollImageBy(int dx, int dy) {
    // The scroll bars clamp the values to their ranges.
    QScrollBar* horizontal = imageBox_->horizontalScrollBar();
    QScrollBar* vertical = imageBox_->verticalScrollBar();
    horizontal->setValue(horizontal->value() + dx);
    vertical->setValue(vertical->value() + dy);
}

}  // namespace quillet::browser
