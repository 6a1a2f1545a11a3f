#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

namespace quillet::app {

// An INI file held in memory line by line, read and changed the way Windows profile files are:
//
// - A section starts at a line "[Name]" (blanks around the line and the name ignored) and runs
//   to the next such line. A key line is "Key=value": the key is the text before the first "=",
//   the value the text after it, both without surrounding blanks. Lines that start with ";" are
//   comments; lines before the first section belong to none and are never read.
// - Section and key names match without regard to case, folding only the ASCII letters; when a
//   name occurs twice, the first occurrence counts.
// - Text is UTF-8. A UTF-8 byte order mark at the start is kept and otherwise ignored.
//
// Every line that setValue() does not rewrite, and every line ending, is kept byte for byte.
class IniFile {
  public:
    // An empty file.
    IniFile() = default;

    // The file parsed from `text`, the complete content of a file.
    static IniFile parse(const QByteArray& text);

    // The file at `path`. A missing file (or one below a folder that does not exist) gives an
    // empty file. Returns nothing when the file exists but cannot be read (no permission, a
    // folder, a read error): writing to such a path would destroy content that was never seen.
    static std::optional<IniFile> load(const QString& path);

    // The whole text, as save() writes it.
    QByteArray text() const;

    // Writes text() to `path` through a temporary file beside it that then replaces the old
    // file, so that a failure at any point leaves the old file as it was. Returns false when
    // the system refuses the write.
    bool save(const QString& path) const;

    // The value of `key` in `section`, or nothing when the section or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // The value of `key` in `section` read by parseInteger(), or nothing when the key is
    // missing or its value is not a number.
    std::optional<qint32> intValue(const QString& section, const QString& key) const;

    // Sets `key` in `section` to `value`:
    // - an existing key (the first one) becomes "Key=value" in its place, the key spelt as it
    //   is in the file;
    // - a missing key is added after the last non-blank line of the first matching section,
    //   so blank lines that separate it from the next section stay after it;
    // - a missing section is added at the end of the file as "[section]" followed by the key,
    //   after one blank line when the file does not already end in one.
    // New lines end as the file's first line does (CR LF or LF; LF for an empty file).
    // Returns false and changes nothing when the names or the value cannot be stored so that
    // they read back: an empty name, a name with surrounding blanks or a line break, a section
    // name with "]", a key with "=" or starting with "[" or ";", a value with a line break.
    // Blanks around a value are stored but, as for every value, not read back.
    bool setValue(const QString& section, const QString& key, const QString& value);

    // `text` as a 32-bit integer: decimal with an optional leading "-" or "+", or hexadecimal
    // after a "0x", "0X" or "$" prefix, without blanks or anything else around it. Returns
    // nothing for any other text, and for numbers outside the range of qint32.
    static std::optional<qint32> parseInteger(QStringView text);

  private:
    struct Line {
        QByteArray text;  // without its line ending
        QByteArray end;   // "\r\n", "\n", or empty for a last line without an ending
    };

    // The index of the header line of the first section called `section`, or -1.
    qsizetype findSection(const QByteArray& section) const;
    // The index of the first line of key `key` in the section whose header is at `header`, or
    // -1.
    qsizetype findKey(qsizetype header, const QByteArray& key) const;
    // The index of the line after the last line of the section whose header is at `header`.
    qsizetype sectionEnd(qsizetype header) const;
    // The line ending for lines this object adds.
    QByteArray newLineEnding() const;
    // Inserts a line at `index`, giving the line before it an ending when it has none.
    void insertLine(qsizetype index, QByteArray text);

    bool byteOrderMark_ = false;
    std::vector<Line> lines_;
};

}  // namespace quillet::app
