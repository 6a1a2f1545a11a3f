#include "ClipboardWriter.h"

#include <QClipboard>
#include <QGuiApplication>

namespace quillet::capture {

void ClipboardWriter::writeText(const QString& text) {
    ignoreNext_ = true;
    setClipboardText(text);
}

void ClipboardWriter::writeImage(const QImage& image) {
    ignoreNext_ = true;
    setClipboardImage(image);
}

bool ClipboardWriter::takeIgnoreNextClipboardChange() {
    const bool ignore = ignoreNext_;
    ignoreNext_ = false;
    return ignore;
}

void ClipboardWriter::setClipboardText(const QString& text) {
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void ClipboardWriter::setClipboardImage(const QImage& image) {
    // A null image would still be offered as a picture that no reader can convert.
    if (image.isNull()) {
        QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
        return;
    }
    QGuiApplication::clipboard()->setImage(image, QClipboard::Clipboard);
}

}  // namespace quillet::capture
