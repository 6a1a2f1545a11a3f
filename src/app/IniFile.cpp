#include "IniFile.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quillet::app {

namespace {

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

enum class LineKind { Blank, Comment, Section, Key, Other };

struct LineParts {
    LineKind kind = LineKind::Other;
    QByteArrayView name;   // section or key name, without surrounding blanks
    QByteArrayView value;  // key value, without surrounding blanks
};

LineParts SplitLine(QByteArrayView line) {
    const QByteArrayView text = line.trimmed();
    if (text.isEmpty())
        return {LineKind::Blank};
    if (text.startsWith(';'))
        return {LineKind::Comment};
    if (text.startsWith('[')) {
        // A "[" without a closing "]" starts no section; the line is kept and otherwise
        // ignored, so it neither hides nor ends the section it stands in.
        const qsizetype close = text.indexOf(']');
        if (close < 0)
            return {LineKind::Other};
        return {LineKind::Section, text.sliced(1, close - 1).trimmed()};
    }
    const qsizetype equals = text.indexOf('=');
    if (equals < 0)
        return {LineKind::Other};
    return {LineKind::Key, text.first(equals).trimmed(), text.sliced(equals + 1).trimmed()};
}

// Windows profile names fold only the ASCII letters; bytes of other characters must be equal.
bool SameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

bool HasLineBreak(QByteArrayView text) {
    return text.contains('\n') || text.contains('\r');
}

bool IsStorableName(QByteArrayView name) {
    return !name.isEmpty() && name.trimmed() == name && !HasLineBreak(name);
}

int DigitValue(char16_t c, int base) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (base == 16 && c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (base == 16 && c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

}  // namespace

IniFile IniFile::parse(const QByteArray& text) {
    IniFile file;
    qsizetype pos = 0;
    if (text.startsWith(kByteOrderMark)) {
        file.byteOrderMark_ = true;
        pos = kByteOrderMark.size();
    }
    while (pos < text.size()) {
        const qsizetype newline = text.indexOf('\n', pos);
        if (newline < 0) {
            file.lines_.push_back({text.mid(pos), {}});
            break;
        }
        const bool crlf = newline > pos && text[newline - 1] == '\r';
        const qsizetype bodyEnd = crlf ? newline - 1 : newline;
        file.lines_.push_back(
            {text.mid(pos, bodyEnd - pos), text.mid(bodyEnd, newline + 1 - bodyEnd)});
        pos = newline + 1;
    }
    return file;
}

std::optional<IniFile> IniFile::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        // Only a file that is not there reads as empty; one that is there and refuses to be
        // read must not be taken for empty, or the next save would replace its content.
        if (QFileInfo::exists(path))
            return std::nullopt;
        return IniFile{};
    }
    const QByteArray text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return parse(text);
}

QByteArray IniFile::text() const {
    QByteArray result;
    if (byteOrderMark_)
        result += kByteOrderMark;
    for (const Line& line : lines_) {
        result += line.text;
        result += line.end;
    }
    return result;
}

bool IniFile::save(const QString& path) const {
    // QSaveFile writes a temporary file in the same folder and renames it over the old file
    // only when every byte reached the disk; it never falls back to writing the file in place
    // unless told to.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = text();
    // The explicit flush is needed: when the disk takes only some of the buffered text (disk
    // full, a file size limit), Qt 6.4's commit() still reports success and puts the cut file
    // in place of the old one (QTBUG-75077). A failed flush is reported correctly.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    const qsizetype header = findSection(section.toUtf8());
    if (header < 0)
        return std::nullopt;
    const qsizetype at = findKey(header, key.toUtf8());
    if (at < 0)
        return std::nullopt;
    const QByteArrayView value = SplitLine(lines_[size_t(at)].text).value;
    return QString::fromUtf8(value.data(), value.size());
}

std::optional<qint32> IniFile::intValue(const QString& section, const QString& key) const {
    const std::optional<QString> text = value(section, key);
    if (!text)
        return std::nullopt;
    return parseInteger(*text);
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    const QByteArray valueText = value.toUtf8();
    // Each of these would read back as something else, or would break the line into lines
    // that other readers take for keys or sections of their own.
    if (!IsStorableName(sectionName) || sectionName.contains(']'))
        return false;
    if (!IsStorableName(keyName) || keyName.contains('=') || keyName.startsWith('[') ||
        keyName.startsWith(';'))
        return false;
    if (HasLineBreak(valueText))
        return false;

    const qsizetype header = findSection(sectionName);
    if (header < 0) {
        if (!lines_.empty() && SplitLine(lines_.back().text).kind != LineKind::Blank)
            insertLine(qsizetype(lines_.size()), {});
        insertLine(qsizetype(lines_.size()), '[' + sectionName + ']');
        insertLine(qsizetype(lines_.size()), keyName + '=' + valueText);
        return true;
    }

    if (const qsizetype at = findKey(header, keyName); at >= 0) {
        Line& line = lines_[size_t(at)];
        line.text = SplitLine(line.text).name.toByteArray() + '=' + valueText;
        return true;
    }

    qsizetype last = header;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (SplitLine(lines_[size_t(i)].text).kind != LineKind::Blank)
            last = i;
    }
    insertLine(last + 1, keyName + '=' + valueText);
    return true;
}

std::optional<qint32> IniFile::parseInteger(QStringView text) {
    int base = 10;
    bool negative = false;
    qsizetype pos = 0;
    if (text.startsWith(u"0x") || text.startsWith(u"0X")) {
        base = 16;
        pos = 2;
    } else if (text.startsWith(u'$')) {
        base = 16;
        pos = 1;
    } else if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        pos = 1;
    }
    if (pos == text.size())
        return std::nullopt;
    // The magnitude is checked after every digit, so it never grows past the limit by more
    // than one digit and a qint64 holds it.
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
    qint64 magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos].unicode(), base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    return qint32(negative ? -magnitude : magnitude);
}

qsizetype IniFile::findSection(const QByteArray& section) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        const LineParts parts = SplitLine(lines_[i].text);
        if (parts.kind == LineKind::Section && SameName(parts.name, section))
            return qsizetype(i);
    }
    return -1;
}

qsizetype IniFile::findKey(qsizetype header, const QByteArray& key) const {
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const LineParts parts = SplitLine(lines_[size_t(i)].text);
        if (parts.kind == LineKind::Key && SameName(parts.name, key))
            return i;
    }
    return -1;
}

qsizetype IniFile::sectionEnd(qsizetype header) const {
    qsizetype i = header + 1;
    while (i < qsizetype(lines_.size()) &&
           SplitLine(lines_[size_t(i)].text).kind != LineKind::Section)
        ++i;
    return i;
}

QByteArray IniFile::newLineEnding() const {
    if (!lines_.empty() && !lines_.front().end.isEmpty())
        return lines_.front().end;
    return QByteArrayLiteral("\n");
}

void IniFile::insertLine(qsizetype index, QByteArray text) {
    const QByteArray end = newLineEnding();
    if (index > 0 && lines_[size_t(index - 1)].end.isEmpty())
        lines_[size_t(index - 1)].end = end;
    lines_.insert(lines_.begin() + index, Line{std::move(text), end});
}

}  // namespace quillet::app
