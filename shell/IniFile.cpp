#include "shell/IniFile.h"

#include "shell/Windows1250.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <optional>
#include <utility>

namespace {

enum class Encoding { Windows1250, Utf8, Utf16LE, Utf16BE };

// The bytes of the file and how to read them. The text lies between textStart (after the byte order
// mark) and textEnd; in UTF-16 a stray last byte of an odd length lies beyond textEnd and is kept.
struct Contents {
    QByteArray bytes;
    Encoding encoding = Encoding::Windows1250;
    qsizetype textStart = 0;
    qsizetype textEnd = 0;

    bool utf16() const { return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE; }
    qsizetype unitSize() const { return utf16() ? 2 : 1; }

    // The code unit at byte offset at: a byte, or a UTF-16 unit.
    char16_t unitAt(qsizetype at) const
    {
        const auto byte = [this](qsizetype i) { return static_cast<char16_t>(static_cast<unsigned char>(bytes[i])); };
        switch (encoding) {
        case Encoding::Utf16LE:
            return static_cast<char16_t>(byte(at) | byte(at + 1) << 8);
        case Encoding::Utf16BE:
            return static_cast<char16_t>(byte(at) << 8 | byte(at + 1));
        default:
            return byte(at);
        }
    }
};

Contents describe(QByteArray bytes)
{
    Contents contents;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        contents.encoding = Encoding::Utf8;
        contents.textStart = 3;
    } else if (bytes.startsWith("\xFF\xFE")) {
        contents.encoding = Encoding::Utf16LE;
        contents.textStart = 2;
    } else if (bytes.startsWith("\xFE\xFF")) {
        contents.encoding = Encoding::Utf16BE;
        contents.textStart = 2;
    }
    contents.textEnd = bytes.size();
    if (contents.utf16())
        contents.textEnd -= (contents.textEnd - contents.textStart) % 2;
    contents.bytes = std::move(bytes);
    return contents;
}

// One line as byte offsets into the file: its text from start to contentEnd, then its line ending
// (LF or CRLF, none on a last line without one) up to end.
struct Line {
    qsizetype start = 0;
    qsizetype contentEnd = 0;
    qsizetype end = 0;

    bool hasEnding() const { return contentEnd < end; }
    bool endsInCrlf(const Contents& contents) const { return end - contentEnd == 2 * contents.unitSize(); }
};

// Splits the text into lines, one at a time.
class LineScanner {
public:
    explicit LineScanner(const Contents& contents) : contents_(contents), next_(contents.textStart) {}

    std::optional<Line> next()
    {
        const qsizetype textEnd = contents_.textEnd;
        if (next_ >= textEnd)
            return std::nullopt;
        const qsizetype unit = contents_.unitSize();
        Line line;
        line.start = next_;
        qsizetype lineFeed = -1;
        if (unit == 1) {
            lineFeed = contents_.bytes.indexOf('\n', next_);
        } else {
            for (qsizetype at = next_; at < textEnd; at += unit) {
                if (contents_.unitAt(at) == u'\n') {
                    lineFeed = at;
                    break;
                }
            }
        }
        if (lineFeed < 0) {
            line.contentEnd = line.end = textEnd;
        } else {
            line.end = lineFeed + unit;
            line.contentEnd = lineFeed;
            if (lineFeed - unit >= line.start && contents_.unitAt(lineFeed - unit) == u'\r')
                line.contentEnd = lineFeed - unit;
        }
        next_ = line.end;
        return line;
    }

private:
    const Contents& contents_;
    qsizetype next_;
};

QString decode(const Contents& contents, qsizetype from, qsizetype to)
{
    const QByteArrayView bytes = QByteArrayView(contents.bytes).sliced(from, to - from);
    switch (contents.encoding) {
    case Encoding::Windows1250:
        return decodeWindows1250(bytes);
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        break;
    }
    QString text((to - from) / 2, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype at = from; at < to; at += 2)
        *out++ = QChar(contents.unitAt(at));
    return text;
}

QByteArray encode(Encoding encoding, QStringView text)
{
    switch (encoding) {
    case Encoding::Windows1250:
        return encodeWindows1250(text);
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        break;
    }
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        const char low = static_cast<char>(c.unicode() & 0xFF);
        const char high = static_cast<char>(c.unicode() >> 8);
        if (encoding == Encoding::Utf16LE) {
            bytes.append(low);
            bytes.append(high);
        } else {
            bytes.append(high);
            bytes.append(low);
        }
    }
    return bytes;
}

// The blanks around names and values: ASCII white space (a line feed never gets this far).
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
}

QStringView trimBlanks(QStringView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// What a line of the file is: a section header "[name]", a key line "name=value", or anything else
// (blank, a ';' comment, garbage), which the file keeps but nobody reads.
struct ParsedLine {
    enum Kind { Other, Section, Key } kind = Other;
    QStringView name;
    QStringView value;
};

ParsedLine parseLine(QStringView line)
{
    line = trimBlanks(line);
    ParsedLine parsed;
    if (line.isEmpty() || line.front() == u';')
        return parsed;
    if (line.front() == u'[') {
        // Text after the last ']' is ignored; without a ']' the line is no header.
        const qsizetype close = line.lastIndexOf(u']');
        if (close > 0) {
            parsed.kind = ParsedLine::Section;
            parsed.name = trimBlanks(line.sliced(1, close - 1));
        }
        return parsed;
    }
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return parsed;
    parsed.name = trimBlanks(line.first(equals));
    if (parsed.name.isEmpty())
        return parsed;
    parsed.kind = ParsedLine::Key;
    parsed.value = trimBlanks(line.sliced(equals + 1));
    if (parsed.value.size() >= 2 && parsed.value.front() == u'"' && parsed.value.back() == u'"')
        parsed.value = parsed.value.sliced(1, parsed.value.size() - 2);
    return parsed;
}

bool hasLineBreak(QStringView text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

// The whole file, or nothing when it is not a plain file, cannot be read or is larger than we read.
std::optional<QByteArray> loadBounded(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > IniFile::MaxFileSize)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The buffer follows the file's size, not the limit: read() sets aside all it is asked for
    // first. The size may have changed since it was asked for; reading one byte more tells, and
    // then the rest up to the limit is read as well, so a grown file is read whole or refused.
    QByteArray bytes = file.read(std::min<qint64>(info.size(), IniFile::MaxFileSize) + 1);
    if (bytes.size() > info.size() && bytes.size() <= IniFile::MaxFileSize)
        bytes += file.read(IniFile::MaxFileSize + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError || bytes.size() > IniFile::MaxFileSize)
        return std::nullopt;
    return bytes;
}

// Whether we may replace the file. A file without any write permission bit counts as read-only
// even for a user the system would let write it (as the read-only attribute does on Windows).
// Replacing goes by renaming a new file over the old one, which would succeed regardless.
bool mayReplace(const QFileInfo& info)
{
    const QFileDevice::Permissions writeBits =
        QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.isWritable() && info.permissions().testAnyFlags(writeBits);
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

const QString& IniFile::path() const
{
    return path_;
}

bool IniFile::exists() const
{
    return QFileInfo::exists(path_);
}

QString IniFile::read(QStringView section, QStringView key, int bufferSize) const
{
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (bufferSize <= 0 || section.isEmpty() || key.isEmpty())
        return {};
    std::optional<QByteArray> bytes = loadBounded(path_);
    if (!bytes)
        return {};
    const Contents contents = describe(std::move(*bytes));
    LineScanner lines(contents);
    bool inSection = false;
    while (const std::optional<Line> line = lines.next()) {
        const QString text = decode(contents, line->start, line->contentEnd);
        const ParsedLine parsed = parseLine(text);
        if (parsed.kind == ParsedLine::Section) {
            if (inSection)
                break; // only the first matching section counts
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == ParsedLine::Key && sameName(parsed.name, key)) {
            qsizetype length = std::min<qsizetype>(parsed.value.size(), bufferSize - 1);
            // A character of two UTF-16 units is not cut in half.
            if (length < parsed.value.size() && length > 0 && parsed.value[length - 1].isHighSurrogate())
                --length;
            return parsed.value.first(length).toString();
        }
    }
    return {};
}

bool IniFile::write(QStringView section, QStringView key, QStringView value)
{
    section = trimBlanks(section);
    key = trimBlanks(key);
    if (section.isEmpty() || key.isEmpty() || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value)
        || section.contains(u']') || key.contains(u'=') || key.front() == u';' || key.front() == u'[')
        return false;

    Contents contents;
    const QFileInfo info(path_);
    if (info.exists() || info.isSymLink()) {
        if (!mayReplace(info))
            return false;
        std::optional<QByteArray> bytes = loadBounded(path_);
        if (!bytes)
            return false; // never rewrite what is no plain file, or a file we could not read whole
        contents = describe(std::move(*bytes));
    }

    // One pass finds the key's line, or the line to insert it after, and the file's line ending.
    std::optional<bool> crlf;
    bool inSection = false;
    bool done = false;
    std::optional<Line> keyLine;
    std::optional<Line> lastOfSection; // the section's last key line, or its header
    QString keySpelling;
    LineScanner lines(contents);
    while (const std::optional<Line> line = lines.next()) {
        if (!crlf && line->hasEnding())
            crlf = line->endsInCrlf(contents);
        if (done) {
            if (crlf.has_value())
                break;
            continue;
        }
        const QString text = decode(contents, line->start, line->contentEnd);
        const ParsedLine parsed = parseLine(text);
        if (parsed.kind == ParsedLine::Section) {
            if (inSection) {
                done = true;
            } else if (!lastOfSection && sameName(parsed.name, section)) {
                inSection = true;
                lastOfSection = line;
            }
        } else if (inSection && parsed.kind == ParsedLine::Key) {
            if (sameName(parsed.name, key)) {
                keyLine = line;
                keySpelling = parsed.name.toString();
                done = true;
            } else {
                lastOfSection = line;
            }
        }
    }

    const Encoding encoding = contents.encoding;
    const QByteArray ending = encode(encoding, crlf.value_or(true) ? u"\r\n" : u"\n");
    const auto keyValue = [&](QStringView name) {
        QString line = name.toString();
        line += u'=';
        line += value;
        return encode(encoding, line);
    };
    qsizetype from = 0;
    qsizetype to = 0;
    QByteArray replacement;
    if (keyLine) {
        from = keyLine->start;
        to = keyLine->contentEnd;
        replacement = keyValue(keySpelling);
    } else if (lastOfSection) {
        from = to = lastOfSection->end;
        if (!lastOfSection->hasEnding())
            replacement = ending;
        replacement += keyValue(key) + ending;
    } else {
        from = to = contents.textEnd;
        const qsizetype unit = contents.unitSize();
        if (contents.textEnd > contents.textStart && contents.unitAt(contents.textEnd - unit) != u'\n')
            replacement = ending;
        QString header = QStringLiteral("[");
        header += section;
        header += u']';
        replacement += encode(encoding, header) + ending + keyValue(key) + ending;
    }

    QByteArray result = contents.bytes;
    result.replace(from, to - from, replacement);

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(result) != result.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
