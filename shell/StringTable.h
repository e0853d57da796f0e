#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// Every text the program shows, addressed by a numeric id. The table is compiled into the program
// from resources/strings.txt; further languages live at an id offset (see LanguageState).
class StringTable {
public:
    // The table compiled into the program. Parsed once, on first use.
    static const StringTable& shipped();

    // Parses the text form of a table: lines of  id "text"  with \" \\ \n escapes; '#' starts a
    // comment line. Gives nothing and says why in *error when a line is malformed or an id repeats.
    static std::optional<StringTable> parse(QByteArrayView utf8, QString* error = nullptr);

    // The text of id, or an empty string when the table has no such id.
    QString text(qint32 id) const;
    bool contains(qint32 id) const;
    QList<qint32> ids() const;

private:
    QHash<qint32, QString> texts_;
};
