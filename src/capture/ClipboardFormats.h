#pragma once

#include <QString>
#include <QtGlobal>
#include <string>
#include <vector>

namespace quillet::platform {
class ClipboardReader;
}

namespace quillet::capture {

// The most characters of one format name that a clip's format list keeps.
inline constexpr qsizetype kMaxFormatNameLength = 60;
// The most characters of a clip's source path.
inline constexpr qsizetype kMaxOwnerPathLength = 255;

// The name of a predefined Windows clipboard format: "CF_TEXT" .. "CF_MAX (Win 95)" for the codes
// 1 to 17, the display formats 0x80 to 0x83 and 0x8E, "private format" for 0x200 to 0x2FF, "GDI
// object" for 0x300 to 0x3FF, and "unknown format" for every other code, 0 included.
QString ClipboardFormatName(quint16 code);

// The first `maxLength` UTF-16 code units of `text` (all of it when shorter), one fewer when
// the cut would separate the two halves of a surrogate pair: a cut never leaves half a
// character behind.
QString LeftWhole(const QString& text, qsizetype maxLength);

// A clip's FormatList: each of `names` (UTF-8) cut to kMaxFormatNameLength characters and
// followed by ",  " (a comma and two blanks), in the given order; the separator follows the
// last name too. No names give the empty text.
QString FormatListText(const std::vector<std::string>& names);

// A clip's Source: the path of the clipboard owner's executable as `reader` finds it, cut to
// kMaxOwnerPathLength characters; empty when there is no owner or its path cannot be found.
QString ClipboardOwnerPath(platform::ClipboardReader& reader);

}  // namespace quillet::capture
