#include "ClipboardFormats.h"

#include "platform/ClipboardReader.h"

namespace quillet::capture {

QString ClipboardFormatName(quint16 code) {
    switch (code) {
        case 1:
            return QStringLiteral("CF_TEXT");
        case 2:
            return QStringLiteral("CF_BITMAP");
        case 3:
            return QStringLiteral("CF_METAFILEPICT");
        case 4:
            return QStringLiteral("CF_SYLK");
        case 5:
            return QStringLiteral("CF_DIF");
        case 6:
            return QStringLiteral("CF_TIFF");
        case 7:
            return QStringLiteral("CF_OEMTEXT");
        case 8:
            return QStringLiteral("CF_DIB");
        case 9:
            return QStringLiteral("CF_PALETTE");
        case 10:
            return QStringLiteral("CF_PENDATA");
        case 11:
            return QStringLiteral("CF_RIFF");
        case 12:
            return QStringLiteral("CF_WAVE");
        case 13:
            return QStringLiteral("CF_UNICODETEXT");
        case 14:
            return QStringLiteral("CF_ENHMETAFILE");
        case 15:
            return QStringLiteral("CF_HDROP (Win 95)");
        case 16:
            return QStringLiteral("CF_LOCALE (Win 95)");
        // Named after the table's end on the system the names come from, whatever format 17
        // is today.
        case 17:
            return QStringLiteral("CF_MAX (Win 95)");
        case 0x80:
            return QStringLiteral("CF_OWNERDISPLAY");
        case 0x81:
            return QStringLiteral("CF_DSPTEXT");
        case 0x82:
            return QStringLiteral("CF_DSPBITMAP");
        case 0x83:
            return QStringLiteral("CF_DSPMETAFILEPICT");
        case 0x8E:
            return QStringLiteral("CF_DSPENHMETAFILE");
        default:
            break;
    }
    if (code >= 0x200 && code <= 0x2FF)
        return QStringLiteral("private format");
    if (code >= 0x300 && code <= 0x3FF)
        return QStringLiteral("GDI object");
    return QStringLiteral("unknown format");
}

QString LeftWhole(const QString& text, qsizetype maxLength) {
    if (text.size() <= maxLength)
        return text;
    qsizetype length = maxLength;
    // A lone half of a pair is not valid UTF-16: SQLite and every reader of the file would see
    // a broken character.
    if (length > 0 && text.at(length - 1).isHighSurrogate() && text.at(length).isLowSurrogate())
        --length;
    return text.left(length);
}

QString FormatListText(const std::vector<std::string>& names) {
    QString list;
    for (const std::string& name : names) {
        list += LeftWhole(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
                          kMaxFormatNameLength);
        list += QStringLiteral(",  ");
    }
    return list;
}

QString ClipboardOwnerPath(platform::ClipboardReader& reader) {
    const std::string path = reader.ownerExecutablePath();
    return LeftWhole(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())),
                     kMaxOwnerPathLength);
}

}  // namespace quillet::capture
