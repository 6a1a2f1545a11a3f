#include "ClipCapture.h"

#include <QByteArray>
#include <QImage>
#include <optional>

#include "BmpEncoder.h"
#include "ClipboardFormats.h"
#include "ClipboardWriter.h"
#include "platform/ClipboardReader.h"
#include "store/ClipDatabase.h"
#include "store/DateTimeText.h"

namespace quillet::capture {
namespace {

// A text clip's title: its first characters, as many as the grid's title column takes.
constexpr qsizetype kTitleLength = 40;

using std::chrono::milliseconds;

// What is left of the capture's read budget; an owner that used it up gets no further call.
std::optional<milliseconds> TimeLeft(std::chrono::steady_clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left <= milliseconds::zero())
        return std::nullopt;
    return left;
}

QImage DecodeImage(const platform::ClipboardImage& picture) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(picture.bytes.data()),
                                static_cast<qsizetype>(picture.bytes.size()));
    // The type's subtype names Qt's reader ("png", "bmp", "jpeg"); one Qt does not know by that
    // name (such as "x-ms-bmp") is recognised by its content instead.
    const std::string& mime = picture.mimeType;
    const auto slash = mime.find('/');
    const std::string subtype = slash == std::string::npos ? mime : mime.substr(slash + 1);
    QImage image = QImage::fromData(bytes, subtype.c_str());
    if (image.isNull())
        image = QImage::fromData(bytes);
    return image;
}

}  // namespace

ClipCapture::ClipCapture(platform::ClipboardReader& reader, const ClipboardWriter& writer,
                         CaptureSink& sink, const bool& enableText, const bool& enableImage,
                         std::chrono::milliseconds readBudget)
    : reader_(reader),
      writer_(writer),
      sink_(sink),
      enableText_(enableText),
      enableImage_(enableImage),
      readBudget_(readBudget) {}

void ClipCapture::CaptureClipboard() {
    const std::uint64_t change = changeCount_;
    sink_.WaitPumpingMessages(kSettleMilliseconds);
    // Events flow during the wait and the reads. A change that arrived meanwhile has run, or
    // is running, a capture of its own that reads the same clipboard: reading it here too would
    // store a picture twice, or store the program's own write that the newer change was told to
    // ignore. A program write whose notification has not come yet is just as much the
    // program's own.
    if (Outdated(change) || database_ == nullptr)
        return;
    // On X11 every write of the program's own announces a change, and writes can follow each
    // other faster than their announcements arrive (a key typed into the memo writes the
    // clipboard): the one-shot flag then covers only the first of them. Content that this
    // very process owns is the program's own, whatever the flag says.
    if (reader_.ownedByThisProcess())
        return;

    // One budget for all reads: an owner that stalls holds the user interface up once, not
    // once per read.
    const Deadline deadline = std::chrono::steady_clock::now() + readBudget_;
    const std::optional<milliseconds> left = TimeLeft(deadline);
    if (!left)
        return;
    const std::optional<platform::ClipboardOffer> offer = reader_.offer(*left);
    if (!offer || offer->secret || Outdated(change))
        return;

    if (offer->text) {
        // A content that can be read as text is a text, also when text capture is off and it
        // offers a picture as well.
        if (enableText_)
            CaptureText(offer->formats, deadline, change);
    } else if (offer->image && enableImage_) {
        CaptureImage(offer->formats, deadline, change);
    }
}

bool ClipCapture::Outdated(std::uint64_t change) const {
    return changeCount_ != change || writer_.IgnoreNextClipboardChange();
}

void ClipCapture::CaptureText(const std::vector<std::string>& formats, Deadline deadline,
                              std::uint64_t change) {
    sink_.ClearPreviewReadOnly();
    const std::optional<milliseconds> left = TimeLeft(deadline);
    if (!left)
        return;
    // No answer is not an empty text: storing one would record a clip the owner never gave.
    const std::optional<std::string> utf8 = reader_.text(*left);
    if (!utf8 || Outdated(change))
        return;
    QString text = QString::fromUtf8(utf8->data(), static_cast<qsizetype>(utf8->size()));
    const qsizetype zero = text.indexOf(QChar(u'\0'));
    if (zero >= 0)
        text.truncate(zero);

    if (text == lastClipText_) {
        sink_.PlayNotificationSound(QStringLiteral("fail.wav"));
        sink_.ShowStatusMessage(QStringLiteral("Duplicate Clip Ignored"));
        sink_.SelectNewestClip();
        return;
    }

    store::ClipRow row;
    row.DataFormat = store::kTextClip;
    row.Title = LeftWhole(text, kTitleLength);
    row.Source = ClipboardOwnerPath(reader_);
    // A text too long for a 32-bit size is far beyond SQLite's length limit: the insert refuses
    // it, so the narrowed size is never stored.
    row.Size = static_cast<qint32>(text.size());
    row.TimeStamp = store::DateTimeText();
    row.FormatList = FormatListText(formats);
    row.ID = database_->InsertClip(row, text);
    // Only a stored text becomes the reference: after a failed insert the same text copied
    // again must be stored, not ignored as a duplicate of nothing.
    lastClipText_ = text;
    Announce(std::move(row));
}

void ClipCapture::CaptureImage(const std::vector<std::string>& formats, Deadline deadline,
                               std::uint64_t change) {
    sink_.ClearPreviewReadOnly();
    const std::optional<milliseconds> left = TimeLeft(deadline);
    if (!left)
        return;
    const std::optional<platform::ClipboardImage> picture = reader_.image(*left);
    if (!picture || Outdated(change))
        return;
    QByteArray bmp = EncodeBmp(DecodeImage(*picture));
    if (bmp.isEmpty())
        return;

    store::ClipRow row;
    row.DataFormat = store::kImageClip;
    row.Title = QStringLiteral("Graphic ") + store::DateTimeText();
    row.Source = ClipboardOwnerPath(reader_);
    row.Size = static_cast<qint32>(bmp.size());  // EncodeBmp keeps files within 32 bits
    row.TimeStamp = store::DateTimeText();
    row.FormatList = FormatListText(formats);
    row.ID = database_->InsertClipboardImage(row, bmp);
    bmp.clear();  // not needed any longer; pictures are large
    // Emptied only once the picture is stored: the newest clip is then no text, so the next
    // text is new whatever it is.
    lastClipText_.clear();
    Announce(std::move(row));
}

void ClipCapture::Announce(store::ClipRow row) {
    sink_.AppendClip(std::move(row));
    sink_.PlayNotificationSound(QStringLiteral("ok.wav"));
    sink_.ShowStatusMessage(QStringLiteral("Clip Captured"));
    sink_.Repaint();
    sink_.SelectNewestClip();
}

}  // namespace quillet::capture
