#pragma once

#include <QString>
#include <QStringView>

// An initialisation file of "[Section]" and "key=value" lines, read and written one value at a time
// the way the Windows profile functions do it. Other programs may share or edit the file, so a
// write changes the one line it concerns and keeps every other byte as it was.
//
// Without a byte order mark the file is Windows-1250; a UTF-8, UTF-16LE or UTF-16BE byte order
// mark makes it that encoding, and new text is written in the same encoding.
class IniFile {
public:
    // A larger file is not read, and never rewritten.
    static constexpr qint64 MaxFileSize = 1024 * 1024;

    explicit IniFile(QString path);

    const QString& path() const;
    // Whether anything is at the path.
    bool exists() const;

    // The value of key in section, "" when the file, the section or the key is missing or the file
    // cannot be read. Names compare without regard to case; blanks around names and values are
    // ignored and a value in double quotes loses them. The first matching section counts, and in it
    // the first matching key. As with a buffer of bufferSize characters, at most bufferSize - 1
    // characters are returned.
    QString read(QStringView section, QStringView key, int bufferSize) const;

    // Sets key = value in section, creating the file, the section or the key as needed. Returns
    // false, leaving the file exactly as it was, when the file cannot be read or written, or when a
    // name or the value cannot be written as one line that reads back the same (a line break in any
    // of them, a key with '=' or one that starts like a comment or a section, a section with ']').
    bool write(QStringView section, QStringView key, QStringView value);

private:
    QString path_;
};
