#include "tools/help_maker/HelpRtf.h"

#include "shell/Windows1250.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// A4 with its margins, in twips (1/1440 inch).
constexpr int PageWidth = 11906;
constexpr int PageHeight = 16838;
constexpr int SideMargin = 1304;
constexpr int TopMargin = 1134;
constexpr int BottomMargin = 1134;
constexpr int TextWidth = PageWidth - 2 * SideMargin;
constexpr double TwipsPerCm = 1440.0 / 2.54;
// The widest picture: the width of the text.
constexpr double LargestPictureCm = TextWidth / TwipsPerCm;

// Colours of the colour table.
constexpr int InkColour = 1;     // headings
constexpr int HeaderColour = 2;  // the header row of a table
constexpr int RuleColour = 3;    // table borders
constexpr int NoteColour = 4;    // the background of a note
constexpr int CaptionColour = 5;

const char* const Header =
    "{\\rtf1\\ansi\\ansicpg1250\\deff0\\deflang1029\\uc1\n"
    "{\\fonttbl{\\f0\\fswiss\\fcharset238 Arial;}}\n"
    "{\\colortbl;\\red24\\green44\\blue92;\\red221\\green230\\blue242;\\red140\\green150\\blue165;"
    "\\red255\\green247\\blue222;\\red80\\green80\\blue80;}\n"
    "{\\stylesheet"
    "{\\s0\\sa120\\sl276\\slmult1\\f0\\fs22\\lang1029 Normal;}"
    "{\\s1\\sbasedon0\\snext0\\keepn\\sb360\\sa120\\outlinelevel0\\b\\f0\\fs32\\cf1\\lang1029 heading 1;}"
    "{\\s2\\sbasedon0\\snext0\\keepn\\sb240\\sa80\\outlinelevel1\\b\\f0\\fs26\\cf1\\lang1029 heading 2;}"
    "{\\s15\\sbasedon0\\snext0\\qc\\sa240\\b\\f0\\fs44\\cf1\\lang1029 Title;}"
    "}\n";

const char* const NormalParagraph = "\\pard\\plain\\s0\\sa120\\sl276\\slmult1\\f0\\fs22\\lang1029 ";

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

bool startsConstruct(const QString& trimmed)
{
    static const QRegularExpression numbered(QStringLiteral("^\\d+\\.\\s"));
    return trimmed.startsWith(u'=') || trimmed.startsWith(u'@') || trimmed.startsWith(QStringLiteral("- ")) ||
           trimmed.startsWith(u'>') || trimmed.startsWith(u'|') || trimmed.startsWith(u'%') ||
           numbered.match(trimmed).hasMatch();
}

// The cells of a table row "| a | b |", split at every bar that no backslash escapes.
QStringList cellsOf(const QString& row)
{
    QString text = row.trimmed();
    if (text.startsWith(u'|'))
        text.remove(0, 1);
    QStringList cells;
    QString cell;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\' && i + 1 < text.size()) {
            cell += c;
            cell += text[++i];
        } else if (c == u'|') {
            cells << cell.trimmed();
            cell.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.trimmed().isEmpty())
        cells << cell.trimmed();  // a row without its closing bar
    return cells;
}

bool isRuleRow(const QStringList& cells)
{
    static const QRegularExpression rule(QStringLiteral("^:?-+:?$"));
    for (const QString& cell : cells)
        if (!rule.match(cell).hasMatch())
            return false;
    return !cells.isEmpty();
}

class RtfWriter {
public:
    explicit RtfWriter(const HelpPictures& pictures) : pictures_(pictures) {}

    HelpDocument write(const QString& source);

private:
    struct Line {
        int number;
        QString text;
    };

    void problem(const QString& text) { problems_ << QStringLiteral("line %1: %2").arg(line_).arg(text); }
    QByteArray inlineText(QStringView text);
    QByteArray picture(const QString& name, const QString& width);
    void paragraph(const QByteArray& format, QStringView text);
    void heading(int level, const QString& text);
    void table(const std::vector<Line>& rows);
    void contents();
    // The lines from index i that continue the block begun at line i - 1.
    QString joinWhile(std::size_t& i, const std::function<bool(const QString& raw)>& continues, bool dropMarker);
    // The space after a list item whose block ends before line i: small within a list, a
    // paragraph's after the last item.
    QByteArray itemSpace(std::size_t i) const;

    const HelpPictures& pictures_;
    std::vector<Line> lines_;
    std::vector<QString> chapters_;
    QByteArray out_;
    QStringList problems_;
    int line_ = 0;
    int chapter_ = 0;
    int section_ = 0;
    std::vector<int> tableWidths_;
};

QByteArray RtfWriter::inlineText(QStringView text)
{
    QByteArray result;
    std::vector<char> open;  // 'b' bold, 'i' italic, innermost last
    QString plain;
    const auto flush = [&] {
        result += rtfEscaped(plain);
        plain.clear();
    };
    const auto toggle = [&](char mark, const char* marker) {
        flush();
        if (!open.empty() && open.back() == mark) {
            result += '}';
            open.pop_back();
        } else if (std::find(open.begin(), open.end(), mark) != open.end()) {
            problem(QStringLiteral("\"%1\" closes across another mark").arg(QLatin1String(marker)));
        } else {
            result += mark == 'b' ? "{\\b " : "{\\i ";
            open.push_back(mark);
        }
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView rest = text.mid(i);
        if (rest.startsWith(u'\\') && rest.size() > 1) {
            plain += rest[1];
            ++i;
        } else if (rest.startsWith(u"**")) {
            toggle('b', "**");
            ++i;
        } else if (rest.startsWith(u"__")) {
            toggle('i', "__");
            ++i;
        } else if (rest.startsWith(u"[[")) {
            const qsizetype end = rest.indexOf(u"]]");
            if (end < 0) {
                problem(QStringLiteral("\"[[\" without \"]]\""));
                plain += rest;
                break;
            }
            const QStringList words = rest.mid(2, end - 2).toString().split(u' ', Qt::SkipEmptyParts);
            flush();
            if (words.size() != 2)
                problem(QStringLiteral("a picture in the line is [[NAME WIDTH_CM]]"));
            else
                result += picture(words[0], words[1]);
            i += end + 1;
        } else {
            plain += rest[0];
        }
    }
    flush();
    if (!open.empty())
        problem(QStringLiteral("\"%1\" is not closed").arg(QLatin1String(open.back() == 'b' ? "**" : "__")));
    for (std::size_t k = 0; k < open.size(); ++k)
        result += '}';
    return result;
}

QByteArray RtfWriter::picture(const QString& name, const QString& width)
{
    const auto found = pictures_.find(name);
    if (found == pictures_.end() || found->second.image.isNull()) {
        problem(QStringLiteral("no picture \"%1\"").arg(name));
        return {};
    }
    bool ok = false;
    const double cm = width.toDouble(&ok);
    if (!ok || !(cm > 0) || cm > LargestPictureCm) {
        problem(QStringLiteral("picture width \"%1\" is not a size from 0 to %2 cm").arg(width).arg(LargestPictureCm, 0, 'f', 1));
        return {};
    }
    const QImage& image = found->second.image;
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    bool jpeg = found->second.photo;
    if (jpeg) {
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(88);
        jpeg = writer.write(image.convertToFormat(QImage::Format_RGB32));
    }
    if (!jpeg) {
        data.clear();
        buffer.seek(0);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image)) {
            problem(QStringLiteral("picture \"%1\" cannot be encoded").arg(name));
            return {};
        }
    }
    const int goalWidth = static_cast<int>(std::lround(cm * TwipsPerCm));
    const int goalHeight = static_cast<int>(std::lround(cm * TwipsPerCm * image.height() / image.width()));
    QByteArray result = "{\\pict";
    result += jpeg ? "\\jpegblip" : "\\pngblip";
    result += "\\picw" + number(image.width()) + "\\pich" + number(image.height());
    result += "\\picwgoal" + number(goalWidth) + "\\pichgoal" + number(goalHeight) + '\n';
    const QByteArray hex = data.toHex();
    for (qsizetype at = 0; at < hex.size(); at += 128)
        result += hex.mid(at, 128) + '\n';
    result += '}';
    return result;
}

void RtfWriter::paragraph(const QByteArray& format, QStringView text)
{
    // A paragraph that ends with a colon introduces what follows and stays on its page.
    const QByteArray keep = text.trimmed().endsWith(u':') ? "\\keepn " : "";
    out_ += '{' + format + keep + inlineText(text) + "\\par}\n";
}

void RtfWriter::heading(int level, const QString& text)
{
    QString numbered;
    QByteArray bookmark;
    if (level == 1) {
        ++chapter_;
        section_ = 0;
        numbered = QString::number(chapter_) + u' ' + text;
        bookmark = "chapter" + number(chapter_);
        out_ += "{" "\\pard\\plain\\s1\\keepn\\sb360\\sa120\\outlinelevel0\\b\\f0\\fs32\\cf1\\lang1029 ";
    } else {
        if (chapter_ == 0)
            problem(QStringLiteral("a section before the first chapter"));
        ++section_;
        numbered = QStringLiteral("%1.%2 ").arg(chapter_).arg(section_) + text;
        out_ += "{" "\\pard\\plain\\s2\\keepn\\sb240\\sa80\\outlinelevel1\\b\\f0\\fs26\\cf1\\lang1029 ";
    }
    if (!bookmark.isEmpty())
        out_ += "{\\*\\bkmkstart " + bookmark + "}{\\*\\bkmkend " + bookmark + '}';
    out_ += inlineText(numbered) + "\\par}\n";
}

void RtfWriter::contents()
{
    for (std::size_t k = 0; k < chapters_.size(); ++k) {
        const QByteArray bookmark = "chapter" + number(static_cast<qint64>(k) + 1);
        out_ += "{\\pard\\plain\\s0\\li284\\sa40\\f0\\fs22\\lang1029 ";
        out_ += "{\\field{\\*\\fldinst HYPERLINK \\\\l \"" + bookmark + "\"}{\\fldrslt ";
        out_ += inlineText(QString::number(k + 1) + u' ' + chapters_[k]) + "}}\\par}\n";
    }
    out_ += "{\\pard\\plain\\s0\\sa120\\fs12\\par}\n";
}

void RtfWriter::table(const std::vector<Line>& rows)
{
    std::vector<QStringList> cells;
    std::vector<int> lineNumbers;
    for (const Line& row : rows) {
        line_ = row.number;
        QStringList rowCells = cellsOf(row.text);
        if (isRuleRow(rowCells))
            continue;
        if (!cells.empty() && rowCells.size() != cells.front().size())
            problem(QStringLiteral("a row of %1 cells in a table of %2 columns").arg(rowCells.size()).arg(cells.front().size()));
        cells.push_back(rowCells);
        lineNumbers.push_back(row.number);
    }
    const qsizetype columns = cells.empty() ? 0 : cells.front().size();
    std::vector<int> widths = tableWidths_;
    tableWidths_.clear();
    if (columns == 0) {
        problem(QStringLiteral("a table without cells"));
        return;
    }
    if (widths.empty()) {
        if (columns == 2)
            widths = {30, 70};
        else
            widths.assign(static_cast<std::size_t>(columns), 0);
    }
    if (static_cast<qsizetype>(widths.size()) != columns) {
        problem(QStringLiteral("@table gives %1 widths for %2 columns").arg(widths.size()).arg(columns));
        widths.assign(static_cast<std::size_t>(columns), 0);
    }
    int total = 0;
    for (int& width : widths) {
        if (width == 0)
            width = static_cast<int>(100 / columns);
        total += width;
    }
    const QByteArray border = "\\brdrs\\brdrw8\\brdrcf" + number(RuleColour);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        line_ = lineNumbers[r];
        const bool header = r == 0;
        out_ += "\\trowd\\trgaph100\\trleft0\\trpaddl100\\trpaddr100\\trpaddfl3\\trpaddfr3\\trkeep\n";
        int right = 0;
        int sum = 0;
        for (qsizetype c = 0; c < columns; ++c) {
            sum += widths[static_cast<std::size_t>(c)];
            right = TextWidth * sum / total;
            out_ += "\\clvertalc\\clbrdrt" + border + "\\clbrdrl" + border + "\\clbrdrb" + border + "\\clbrdrr" + border;
            if (header)
                out_ += "\\clcbpat" + number(HeaderColour);
            out_ += "\\cellx" + number(right) + '\n';
        }
        for (qsizetype c = 0; c < columns; ++c) {
            // The header stays with the first row below it.
            out_ += header ? "\\pard\\plain\\intbl\\keepn\\sb40\\sa40\\f0\\fs20\\lang1029 "
                           : "\\pard\\plain\\intbl\\sb40\\sa40\\f0\\fs20\\lang1029 ";
            const QString text = c < cells[r].size() ? cells[r][c] : QString();
            if (header)
                out_ += "{\\b " + inlineText(text) + '}';
            else
                out_ += inlineText(text);
            out_ += "\\cell\n";
        }
        out_ += "\\row\n";
    }
    out_ += "{\\pard\\plain\\s0\\sa0\\fs12\\par}\n";
}

QString RtfWriter::joinWhile(std::size_t& i, const std::function<bool(const QString& raw)>& continues, bool dropMarker)
{
    QString text;
    while (i < lines_.size() && continues(lines_[i].text)) {
        QString piece = lines_[i].text.trimmed();
        if (dropMarker)
            piece = piece.mid(1).trimmed();
        text += u' ' + piece;
        ++i;
    }
    return text;
}

QByteArray RtfWriter::itemSpace(std::size_t i) const
{
    static const QRegularExpression numbered(QStringLiteral("^\\d+\\.\\s"));
    while (i < lines_.size() && lines_[i].text.trimmed().startsWith(u'%'))
        ++i;
    const QString next = i < lines_.size() ? lines_[i].text.trimmed() : QString();
    const bool listGoesOn = next.startsWith(QStringLiteral("- ")) || numbered.match(next).hasMatch();
    return listGoesOn ? "\\sa60" : "\\sa160";
}

HelpDocument RtfWriter::write(const QString& source)
{
    int number = 0;
    QString title;
    for (QString text : source.split(u'\n')) {
        if (text.endsWith(u'\r'))
            text.chop(1);
        lines_.push_back({++number, text});
        if (text.startsWith(QStringLiteral("== ")))
            chapters_.push_back(text.mid(3).trimmed());
        else if (text.startsWith(QStringLiteral("= ")) && title.isEmpty())
            title = text.mid(2).trimmed();
    }
    static const QRegularExpression numbered(QStringLiteral("^(\\d+)\\.\\s+(.*)$"));
    const auto plainLine = [](const QString& raw) {
        const QString t = raw.trimmed();
        return !t.isEmpty() && !startsConstruct(t);
    };
    const auto indented = [](const QString& raw) {
        return !raw.trimmed().isEmpty() && (raw.startsWith(u' ') || raw.startsWith(u'\t'));
    };

    out_ = Header;
    if (!title.isEmpty())
        out_ += "{\\info{\\title " + rtfEscaped(title) + "}}\n";
    out_ += "\\paperw" + QByteArray::number(PageWidth) + "\\paperh" + QByteArray::number(PageHeight) + "\\margl" +
            QByteArray::number(SideMargin) + "\\margr" + QByteArray::number(SideMargin) + "\\margt" +
            QByteArray::number(TopMargin) + "\\margb" + QByteArray::number(BottomMargin) + "\\viewkind1\n";
    std::size_t i = 0;
    while (i < lines_.size()) {
        line_ = lines_[i].number;
        const QString t = lines_[i].text.trimmed();
        ++i;
        if (t.isEmpty() || t.startsWith(u'%'))
            continue;
        if (t.startsWith(QStringLiteral("=== "))) {
            heading(2, t.mid(4).trimmed());
        } else if (t.startsWith(QStringLiteral("== "))) {
            heading(1, t.mid(3).trimmed());
        } else if (t.startsWith(QStringLiteral("= "))) {
            paragraph("\\pard\\plain\\s15\\qc\\sa240\\b\\f0\\fs44\\cf1\\lang1029 ", t.mid(2).trimmed());
        } else if (t.startsWith(u'@')) {
            const QStringList words = t.split(u' ', Qt::SkipEmptyParts);
            const QString& directive = words.front();
            if (directive == QStringLiteral("@contents") && words.size() == 1) {
                contents();
            } else if (directive == QStringLiteral("@table") && words.size() >= 2) {
                tableWidths_.clear();
                for (qsizetype w = 1; w < words.size(); ++w) {
                    bool ok = false;
                    const int width = words[w].toInt(&ok);
                    if (!ok || width < 1 || width > 100)
                        problem(QStringLiteral("column width \"%1\" is not a per cent from 1 to 100").arg(words[w]));
                    tableWidths_.push_back(ok && width >= 1 && width <= 100 ? width : 0);
                }
            } else if (directive == QStringLiteral("@picture") && words.size() == 3) {
                const QByteArray picture = this->picture(words[1], words[2]);
                const QString caption = joinWhile(i, plainLine, false).trimmed();
                out_ += (caption.isEmpty() ? "{\\pard\\plain\\s0\\qc\\sb120\\sa240 " : "{\\pard\\plain\\s0\\qc\\keepn\\sb120\\sa60 ") +
                        picture + "\\par}\n";
                if (!caption.isEmpty())
                    paragraph("\\pard\\plain\\s0\\qc\\sa240\\i\\f0\\fs18\\cf" + QByteArray::number(CaptionColour) +
                                  "\\lang1029 ",
                              caption);
            } else {
                problem(QStringLiteral("unknown directive \"%1\"").arg(t));
            }
        } else if (t.startsWith(QStringLiteral("- "))) {
            const QString item = t.mid(2).trimmed() + joinWhile(i, indented, false);
            paragraph("\\pard\\plain\\s0\\fi-284\\li568\\tx568" + itemSpace(i) +
                          "\\sl276\\slmult1\\f0\\fs22\\lang1029 \\u8226\\'95\\tab ",
                      item);
        } else if (const QRegularExpressionMatch match = numbered.match(t); match.hasMatch()) {
            const QString item = match.captured(2).trimmed() + joinWhile(i, indented, false);
            out_ += "{\\pard\\plain\\s0\\fi-340\\li624\\tx624" + itemSpace(i) + "\\sl276\\slmult1\\f0\\fs22\\lang1029 " +
                    match.captured(1).toLatin1() + ".\\tab " + inlineText(item) + "\\par}\n";
        } else if (t.startsWith(u'>')) {
            const QString note = t.mid(1).trimmed() +
                                 joinWhile(i, [](const QString& raw) { return raw.trimmed().startsWith(u'>'); }, true);
            paragraph("\\pard\\plain\\s0\\li284\\ri284\\sb60\\sa180\\sl276\\slmult1\\brdrl\\brdrs\\brdrw30\\brsp100\\brdrcf" +
                          QByteArray::number(InkColour) + "\\cbpat" + QByteArray::number(NoteColour) +
                          "\\f0\\fs21\\lang1029 ",
                      note);
        } else if (t.startsWith(u'|')) {
            std::vector<Line> rows{lines_[i - 1]};
            while (i < lines_.size() && lines_[i].text.trimmed().startsWith(u'|'))
                rows.push_back(lines_[i++]);
            table(rows);
        } else {
            const QString text = t + joinWhile(i, plainLine, false);
            paragraph(NormalParagraph, text);
        }
    }
    if (!tableWidths_.empty())
        problem(QStringLiteral("@table without a table after it"));
    out_ += "}\n";
    return {out_, problems_};
}

}  // namespace

QByteArray rtfEscaped(QStringView text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        if (unit == u'\\' || unit == u'{' || unit == u'}') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit == u'\t') {
            out += "\\tab ";
        } else if (unit == 0xA0) {
            out += "\\~";
        } else if (unit < 0x20 || unit == 0x7F) {
            continue;
        } else if (unit < 0x80) {
            out += static_cast<char>(unit);
        } else {
            out += "\\u" + QByteArray::number(static_cast<qint16>(unit));
            const QByteArray byte = c.isSurrogate() ? QByteArray("?") : encodeWindows1250(QStringView(&c, 1));
            if (byte == "?" || static_cast<unsigned char>(byte.at(0)) < 0x80)
                out += '?';
            else
                out += "\\'" + QByteArray::number(static_cast<unsigned char>(byte.at(0)), 16).rightJustified(2, '0');
        }
    }
    return out;
}

HelpDocument helpRtf(const QString& source, const HelpPictures& pictures)
{
    return RtfWriter(pictures).write(source);
}
