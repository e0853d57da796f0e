#include "shell/StringTable.h"

#include <QFile>
#include <algorithm>
#include <charconv>

namespace {

// Reads one line  id "text" ; returns false when it is not of that form.
bool parseLine(QByteArrayView line, qint32& id, QString& text)
{
    const char* begin = line.data();
    const char* end = begin + line.size();
    const auto [afterId, ec] = std::from_chars(begin, end, id);
    if (ec != std::errc() || afterId == begin)
        return false;
    const char* p = afterId;
    while (p < end && (*p == ' ' || *p == '\t'))
        ++p;
    if (p == afterId || p == end || *p != '"')
        return false;
    ++p;
    QByteArray bytes;
    bool closed = false;
    while (p < end) {
        const char c = *p++;
        if (c == '"') {
            closed = true;
            break;
        }
        if (c == '\\') {
            if (p == end)
                return false;
            const char e = *p++;
            if (e == 'n')
                bytes += '\n';
            else if (e == '"' || e == '\\')
                bytes += e;
            else
                return false;
        } else {
            bytes += c;
        }
    }
    while (p < end && (*p == ' ' || *p == '\t' || *p == '\r'))
        ++p;
    if (!closed || p != end)
        return false;
    text = QString::fromUtf8(bytes);
    return true;
}

} // namespace

std::optional<StringTable> StringTable::parse(QByteArrayView utf8, QString* error)
{
    StringTable table;
    qsizetype start = 0;
    int lineNumber = 0;
    while (start <= utf8.size()) {
        qsizetype stop = utf8.indexOf('\n', start);
        if (stop < 0)
            stop = utf8.size();
        ++lineNumber;
        QByteArrayView line = utf8.sliced(start, stop - start);
        start = stop + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith('#'))
            continue;
        qint32 id = 0;
        QString text;
        if (!parseLine(trimmed, id, text)) {
            if (error)
                *error = QStringLiteral("line %1 is not of the form id \"text\"").arg(lineNumber);
            return std::nullopt;
        }
        if (table.texts_.contains(id)) {
            if (error)
                *error = QStringLiteral("line %1 repeats id %2").arg(lineNumber).arg(id);
            return std::nullopt;
        }
        table.texts_.insert(id, text);
    }
    return table;
}

const StringTable& StringTable::shipped()
{
    static const StringTable table = [] {
        QFile file(QStringLiteral(":/strings.txt"));
        QString error = QStringLiteral("the string table is missing from the program");
        std::optional<StringTable> parsed;
        if (file.open(QIODevice::ReadOnly))
            parsed = parse(file.readAll(), &error);
        if (!parsed)
            qFatal("String table: %s", qPrintable(error));
        return *parsed;
    }();
    return table;
}

QString StringTable::text(qint32 id) const
{
    return texts_.value(id);
}

bool StringTable::contains(qint32 id) const
{
    return texts_.contains(id);
}

QList<qint32> StringTable::ids() const
{
    QList<qint32> ids = texts_.keys();
    std::sort(ids.begin(), ids.end());
    return ids;
}
