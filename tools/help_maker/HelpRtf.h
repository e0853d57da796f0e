#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <map>

// The help document is written as a readable text with a little markup and turned into RTF, which
// every word processor opens (also under the name help.doc). The markup, one construct a line:
//
//   % comment                        a line left out
//   = Title                          the document's title, large and centred
//   == Chapter                       a numbered chapter heading (1, 2, ...)
//   === Section                      a numbered section heading (1.1, 1.2, ...)
//   - item                           a bullet; indented lines continue it
//   3. item                          a numbered item with the number as written
//   > text                           a note, set off from the text; following "> " lines continue it
//   | cell | cell |                  a table row; the first row of a table is its header
//   @table 30 70                     the column widths in per cent of the next table
//   @picture NAME WIDTH_CM           a picture, centred; the lines after it up to a blank line
//                                    are its caption
//   @contents                        the list of the chapters
//   anything else                    a paragraph; its lines run up to a blank line or the next construct
//
// Within the text: **bold**, __italic__, [[NAME WIDTH_CM]] a picture in the line, and a backslash
// takes the next character as it is (\| a bar in a table cell, \* an asterisk).

// A picture the text may name. A photo is stored as JPEG, anything else as PNG.
struct HelpPicture {
    QImage image;
    bool photo = false;
};
using HelpPictures = std::map<QString, HelpPicture>;

struct HelpDocument {
    QByteArray rtf;        // 7-bit text
    QStringList problems;  // every mistake in the source, with its line; the document is unusable when any
};

// The RTF of the help text with its pictures.
HelpDocument helpRtf(const QString& source, const HelpPictures& pictures);

// Text as RTF: the control characters "\", "{" and "}" escaped, a tab as \tab, a non-breaking
// space as \~, and every other character outside ASCII as \uN (N the UTF-16 unit as a signed
// 16-bit number) followed by its byte in Windows-1250 for readers without Unicode, or "?" when
// that code page has none. Other control characters are left out.
QByteArray rtfEscaped(QStringView text);
