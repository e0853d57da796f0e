#include "shell/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>

namespace {

std::string hex(const QByteArray& bytes)
{
    return bytes.toHex(' ').toStdString();
}

// Files in a fresh directory, written and read as exact bytes.
class IniFileTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString path(const QString& name = QStringLiteral("Trasovky.ini")) const { return dir.filePath(name); }

    void put(const QByteArray& bytes, const QString& name = QStringLiteral("Trasovky.ini")) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray contents(const QString& name = QStringLiteral("Trasovky.ini")) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};

// A file of the other encodings: the byte order mark, then the text.
enum class Unicode { Utf8, Utf16LE, Utf16BE };

QByteArray encoded(Unicode encoding, const QString& text)
{
    if (encoding == Unicode::Utf8)
        return "\xEF\xBB\xBF" + text.toUtf8();
    QByteArray bytes = encoding == Unicode::Utf16LE ? "\xFF\xFE" : "\xFE\xFF";
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(encoding == Unicode::Utf16LE ? low : high);
        bytes.append(encoding == Unicode::Utf16LE ? high : low);
    }
    return bytes;
}

} // namespace

TEST_F(IniFileTest, ReadsTheFirstMatchingValue)
{
    struct Case {
        const char* what;
        std::optional<QByteArray> file; // none: no file at all
        const char* section;
        const char* key;
        int bufferSize;
        QString expected;
    };
    const Case cases[] = {
        {"missing file", std::nullopt, "Settings", "LANG", 255, ""},
        {"empty file", "", "Settings", "LANG", 255, ""},
        {"missing section", "[Other]\r\nLANG=2\r\n", "Settings", "LANG", 255, ""},
        {"missing key", "[Settings]\r\nTRT=a.trt\r\n", "Settings", "LANG", 255, ""},
        {"key in another section", "[Other]\r\nLANG=2\r\n[Settings]\r\nTRT=a\r\n", "Settings", "LANG", 255, ""},
        {"key before any section", "LANG=2\r\n[Settings]\r\n", "Settings", "LANG", 255, ""},
        {"plain", "[Settings]\r\nLANG=2\r\nTRT=a.trt\r\n", "Settings", "TRT", 255, "a.trt"},
        {"names in other case", "[sEtTiNgS]\r\nlang=3\r\n", "Settings", "LANG", 255, "3"},
        {"asked in other case", "[Settings]\r\nLANG=3\r\n", "SETTINGS", "Lang", 255, "3"},
        {"blanks around everything", "  [ Settings ] \t\r\n \t LANG  = \t4  \r\n", "Settings", "LANG", 255, "4"},
        {"blanks in the question", "[Settings]\r\nLANG=4\r\n", " Settings ", " LANG\t", 255, "4"},
        {"blanks inside a value", "[Settings]\r\nTRT= C:\\Moje trat\xEC \r\n", "Settings", "TRT", 255,
         QStringLiteral(u"C:\\Moje tratě")},
        {"quotes removed", "[Settings]\r\nTRT=\"  a b \"\r\n", "Settings", "TRT", 255, "  a b "},
        {"empty quotes", "[Settings]\r\nTRT=\"\"\r\n", "Settings", "TRT", 255, ""},
        {"one quote alone", "[Settings]\r\nTRT=\"\r\n", "Settings", "TRT", 255, "\""},
        {"quote on one side", "[Settings]\r\nTRT=\"abc\r\n", "Settings", "TRT", 255, "\"abc"},
        {"inner quotes kept", "[Settings]\r\nTRT=a\"b\"c\r\n", "Settings", "TRT", 255, "a\"b\"c"},
        {"equals sign in a value", "[Settings]\r\nTRT=a=b\r\n", "Settings", "TRT", 255, "a=b"},
        {"empty value", "[Settings]\r\nLANG=\r\nLANG=2\r\n", "Settings", "LANG", 255, ""},
        {"duplicate key", "[Settings]\r\nLANG=1\r\nlang=2\r\n", "Settings", "LANG", 255, "1"},
        {"duplicate section", "[Settings]\r\nLANG=1\r\n[SETTINGS]\r\nLANG=2\r\n", "Settings", "LANG", 255, "1"},
        {"key only in the second of two sections", "[Settings]\r\nTRT=a\r\n[Settings]\r\nLANG=2\r\n", "Settings",
         "LANG", 255, ""},
        {"comment line", "[Settings]\r\n;LANG=9\r\nLANG=2\r\n", "Settings", "LANG", 255, "2"},
        {"garbage lines", "[Settings]\r\n=9\r\nnonsense\r\n[broken\r\nLANG=2\r\n", "Settings", "LANG", 255, "2"},
        {"text after the header", "[Settings] ; ours\r\nLANG=2\r\n", "Settings", "LANG", 255, "2"},
        {"line feeds only", "[Settings]\nLANG=2\nTRT=x\n", "Settings", "LANG", 255, "2"},
        {"no line ending at the end", "[Settings]\r\nLANG=7", "Settings", "LANG", 255, "7"},
        {"nul bytes around", QByteArray("\0\0\r\n[Settings]\r\nLANG=2\0\r\n", 23), "Settings", "LANG", 255,
         QString::fromUtf16(u"2\0", 2)},
        {"buffer cuts the value", "[Settings]\r\nLANG=12345\r\n", "Settings", "LANG", 5, "1234"},
        {"buffer just large enough", "[Settings]\r\nLANG=12345\r\n", "Settings", "LANG", 6, "12345"},
        {"buffer of one", "[Settings]\r\nLANG=12345\r\n", "Settings", "LANG", 1, ""},
        {"no buffer", "[Settings]\r\nLANG=12345\r\n", "Settings", "LANG", 0, ""},
        {"buffer does not split a pair", "\xEF\xBB\xBF[Settings]\r\nTRT=a\xF0\x9F\x98\x80\r\n", "Settings", "TRT", 3, "a"},
        {"negative buffer", "[Settings]\r\nLANG=12345\r\n", "Settings", "LANG", -3, ""},
        {"Czech in Windows-1250", "[Settings]\r\nTRT=C:\\Hry\\Trat\xEC\\\x8Elu\x9Do\xE8k\xE1.trt\r\n", "Settings", "TRT",
         255, QStringLiteral(u"C:\\Hry\\Tratě\\Žluťočká.trt")},
        {"Czech names in other case", "[Tra\x9D]\r\nD\xE9lka=5\r\n", "TRAŤ", "DÉLKA", 255, "5"},
        {"UTF-8 with its mark", "\xEF\xBB\xBF[Settings]\r\nTRT=Trat\xC4\x9B\r\n", "Settings", "TRT", 255,
         QStringLiteral(u"Tratě")},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("read%1.ini").arg(index++);
        if (c.file)
            put(*c.file, name);
        const IniFile file(path(name));
        EXPECT_EQ(file.exists(), c.file.has_value());
        EXPECT_EQ(file.read(QString::fromUtf8(c.section), QString::fromUtf8(c.key), c.bufferSize).toStdString(),
                  c.expected.toStdString());
    }
}

// The file of another program: its comments, sections, spacing and odd bytes stay as they were.
TEST_F(IniFileTest, WritingKeepsTheRestOfASharedFile)
{
    const QByteArray original = "; Shared with other programs\r\n"
                                "[Other]\r\n"
                                "Colour = modr\xE1\r\n"
                                "\r\n"
                                "[settings]\r\n"
                                "  lang = 2 ; two\r\n"
                                "Window=10,20\r\n"
                                "\r\n"
                                "; the end of ours\r\n"
                                "[Tail]\r\n"
                                "X=\x01\xFF\x81\r\n";
    put(original);
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    IniFile file(path());

    ASSERT_TRUE(file.write(u"Settings", u"LANG", u"3"));
    const QByteArray replaced = "; Shared with other programs\r\n"
                                "[Other]\r\n"
                                "Colour = modr\xE1\r\n"
                                "\r\n"
                                "[settings]\r\n"
                                "lang=3\r\n"
                                "Window=10,20\r\n"
                                "\r\n"
                                "; the end of ours\r\n"
                                "[Tail]\r\n"
                                "X=\x01\xFF\x81\r\n";
    EXPECT_EQ(hex(contents()), hex(replaced));

    ASSERT_TRUE(file.write(u"Settings", u"TRT", u"C:\\Hry\\Tratě\\Okruh.trt"));
    const QByteArray inserted = "; Shared with other programs\r\n"
                                "[Other]\r\n"
                                "Colour = modr\xE1\r\n"
                                "\r\n"
                                "[settings]\r\n"
                                "lang=3\r\n"
                                "Window=10,20\r\n"
                                "TRT=C:\\Hry\\Trat\xEC\\Okruh.trt\r\n"
                                "\r\n"
                                "; the end of ours\r\n"
                                "[Tail]\r\n"
                                "X=\x01\xFF\x81\r\n";
    EXPECT_EQ(hex(contents()), hex(inserted));

    EXPECT_EQ(file.read(u"Settings", u"LANG", 5), QStringLiteral("3"));
    EXPECT_EQ(file.read(u"Settings", u"TRT", 255), QStringLiteral(u"C:\\Hry\\Tratě\\Okruh.trt"));
    // The replaced file keeps the mode it had.
    EXPECT_FALSE(QFileInfo(path()).permissions().testFlag(QFile::ReadOther));
}

TEST_F(IniFileTest, WritesWhereTheLineBelongs)
{
    struct Case {
        const char* what;
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    const Case cases[] = {
        {"replacing keeps the line's own ending", "[Settings]\r\nLANG=1\nTRT=a\r\n", "Settings", "LANG", "2",
         "[Settings]\r\nLANG=2\nTRT=a\r\n"},
        {"replacing keeps the key's spelling", "[SETTINGS]\r\n  Lang  =  1  \r\n", "Settings", "LANG", "2",
         "[SETTINGS]\r\nLang=2\r\n"},
        {"replacing the last line without an ending", "[Settings]\r\nLANG=1", "Settings", "LANG", "2",
         "[Settings]\r\nLANG=2"},
        {"the first of duplicate keys", "[Settings]\r\nLANG=1\r\nLANG=5\r\n", "Settings", "LANG", "2",
         "[Settings]\r\nLANG=2\r\nLANG=5\r\n"},
        {"the same value is written plainly", "[Settings]\r\nLANG = 1\r\n", "Settings", "LANG", "1",
         "[Settings]\r\nLANG=1\r\n"},
        {"inserting in a file of line feeds", "[Settings]\nLANG=1\n\n[Other]\n", "Settings", "TRT", "x",
         "[Settings]\nLANG=1\nTRT=x\n\n[Other]\n"},
        {"inserting after comments and before blank lines", "[Settings]\r\n;c\r\nLANG=1\r\n;d\r\n\r\n\r\n[Other]\r\n",
         "Settings", "TRT", "x", "[Settings]\r\n;c\r\nLANG=1\r\nTRT=x\r\n;d\r\n\r\n\r\n[Other]\r\n"},
        {"inserting in a section without keys", "[Settings]\r\n\r\n[Other]\r\n", "Settings", "TRT", "x",
         "[Settings]\r\nTRT=x\r\n\r\n[Other]\r\n"},
        {"inserting after a last line without an ending", "[Settings]\r\nLANG=1", "Settings", "TRT", "x",
         "[Settings]\r\nLANG=1\r\nTRT=x\r\n"},
        {"inserting after a header without an ending", "[Settings]", "Settings", "TRT", "x",
         "[Settings]\r\nTRT=x\r\n"},
        {"inserting in the first of duplicate sections", "[Settings]\r\nA=1\r\n[Settings]\r\nTRT=old\r\n", "Settings",
         "TRT", "x", "[Settings]\r\nA=1\r\nTRT=x\r\n[Settings]\r\nTRT=old\r\n"},
        {"the line ending found first counts", "[Other]\nA=1\r\n", "Settings", "TRT", "x",
         "[Other]\nA=1\r\n[Settings]\nTRT=x\n"},
        {"appending a section", "[Other]\r\nA=1\r\n", "Settings", "TRT", "x", "[Other]\r\nA=1\r\n[Settings]\r\nTRT=x\r\n"},
        {"appending after a last line without an ending", "[Other]\nA=1", "Settings", "TRT", "x",
         "[Other]\nA=1\n[Settings]\nTRT=x\n"},
        {"appending to a file without line endings", "; note", "Settings", "TRT", "x", "; note\r\n[Settings]\r\nTRT=x\r\n"},
        {"appending to an empty file", "", "Settings", "LANG", "1", "[Settings]\r\nLANG=1\r\n"},
        {"a key before any section is not in the section", "LANG=5\r\n", "Settings", "LANG", "1",
         "LANG=5\r\n[Settings]\r\nLANG=1\r\n"},
        {"names are written trimmed", "", " Settings ", " LANG ", "1", "[Settings]\r\nLANG=1\r\n"},
        {"characters without a byte", "[Settings]\r\n", "Settings", "TRT", "日本.trt", "[Settings]\r\nTRT=??.trt\r\n"},
        {"a lone carriage return is part of its line", "[Settings]\r\nA=1\rLANG=2\r\n", "Settings", "LANG", "3",
         "[Settings]\r\nA=1\rLANG=2\r\nLANG=3\r\n"},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("write%1.ini").arg(index++);
        put(c.before, name);
        IniFile file(path(name));
        EXPECT_TRUE(file.write(QString::fromUtf8(c.section), QString::fromUtf8(c.key), QString::fromUtf8(c.value)));
        EXPECT_EQ(hex(contents(name)), hex(c.after));
    }
}

TEST_F(IniFileTest, CreatesAMissingFile)
{
    IniFile file(path());
    EXPECT_FALSE(file.exists());
    EXPECT_EQ(file.path(), path());
    ASSERT_TRUE(file.write(u"Settings", u"LANG", u"1"));
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(hex(contents()), hex("[Settings]\r\nLANG=1\r\n"));
    EXPECT_EQ(file.read(u"Settings", u"LANG", 5), QStringLiteral("1"));
    // Nothing else is left in the directory.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("Trasovky.ini")});
}

// A line that would not read back as written is refused, and the file is not touched.
TEST_F(IniFileTest, RefusesWhatIsNotOneLine)
{
    struct Case {
        const char* what;
        QString section;
        QString key;
        QString value;
    };
    const Case cases[] = {
        {"line feed in the value", "Settings", "TRT", "a\nb"},
        {"carriage return in the value", "Settings", "TRT", "a\r"},
        {"line break in the key", "Settings", "TR\nT", "x"},
        {"line break in the section", "Sett\r\nings", "TRT", "x"},
        {"equals sign in the key", "Settings", "T=RT", "x"},
        {"key that reads as a comment", "Settings", ";TRT", "x"},
        {"key that reads as a section", "Settings", "[TRT", "x"},
        {"bracket in the section", "Set]tings", "TRT", "x"},
        {"empty key", "Settings", " ", "x"},
        {"empty section", "", "TRT", "x"},
    };
    const QByteArray original = "[Settings]\r\nTRT=a\r\n";
    put(original);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(IniFile(path()).write(c.section, c.key, c.value));
        EXPECT_EQ(hex(contents()), hex(original));
        EXPECT_FALSE(IniFile(path(QStringLiteral("new.ini"))).write(c.section, c.key, c.value));
        EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("new.ini"))));
    }
}

// Files that Windows itself wrote in Unicode keep their encoding and their mark.
class IniFileUnicodeTest : public IniFileTest, public testing::WithParamInterface<Unicode> {};

TEST_P(IniFileUnicodeTest, KeepsTheEncoding)
{
    const Unicode encoding = GetParam();
    const QString before = QStringLiteral(u"; Žluťoučký kůň 😀\r\n[Jiné]\r\nNázev=Okruh\r\n\r\n[Settings]\r\nLANG=1\r\n");
    put(encoded(encoding, before));
    IniFile file(path());
    EXPECT_EQ(file.read(u"jiné", u"NÁZEV", 255), QStringLiteral("Okruh"));

    ASSERT_TRUE(file.write(u"Settings", u"LANG", u"2"));
    ASSERT_TRUE(file.write(u"Settings", u"TRT", u"C:\\Tratě\\Ovál 😀.trt"));
    ASSERT_TRUE(file.write(u"Závod", u"Kolo", u"3"));
    const QString after = QStringLiteral(u"; Žluťoučký kůň 😀\r\n[Jiné]\r\nNázev=Okruh\r\n\r\n[Settings]\r\nLANG=2\r\n"
                                         u"TRT=C:\\Tratě\\Ovál 😀.trt\r\n[Závod]\r\nKolo=3\r\n");
    EXPECT_EQ(hex(contents()), hex(encoded(encoding, after)));
    EXPECT_EQ(file.read(u"Settings", u"TRT", 255), QStringLiteral(u"C:\\Tratě\\Ovál 😀.trt"));
}

std::string unicodeName(const testing::TestParamInfo<Unicode>& info)
{
    switch (info.param) {
    case Unicode::Utf8:
        return "Utf8";
    case Unicode::Utf16LE:
        return "Utf16LE";
    case Unicode::Utf16BE:
        return "Utf16BE";
    }
    return "Unknown";
}

INSTANTIATE_TEST_SUITE_P(IniFile, IniFileUnicodeTest, testing::Values(Unicode::Utf8, Unicode::Utf16LE, Unicode::Utf16BE),
                         unicodeName);

// A UTF-16 file cut to an odd length keeps its last byte at the very end.
TEST_F(IniFileTest, OddUtf16FileKeepsItsStrayByte)
{
    put(encoded(Unicode::Utf16LE, QStringLiteral("[Other]\r\n")) + 'X');
    ASSERT_TRUE(IniFile(path()).write(u"Settings", u"LANG", u"1"));
    EXPECT_EQ(hex(contents()), hex(encoded(Unicode::Utf16LE, QStringLiteral("[Other]\r\n[Settings]\r\nLANG=1\r\n")) + 'X'));
}

// Random bytes, with and without a mark in front: nothing to read, and a write keeps all of them.
TEST_F(IniFileTest, JunkIsKept)
{
    QRandomGenerator random(1250);
    QByteArray junk(4096, '\0');
    for (char& byte : junk) {
        const quint32 roll = random.bounded(10);
        byte = roll == 0 ? '\0' : roll == 1 ? '\n' : roll == 2 ? '\r' : static_cast<char>(random.bounded(256));
    }
    junk[0] = '=';
    for (const char* mark : {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"}) {
        SCOPED_TRACE(hex(mark));
        const QByteArray original = mark + junk;
        put(original);
        IniFile file(path());
        EXPECT_EQ(file.read(u"Settings", u"LANG", 255), QString());
        ASSERT_TRUE(file.write(u"Settings", u"LANG", u"1"));
        const QByteArray written = contents();
        EXPECT_EQ(hex(written.first(original.size())), hex(original));
        EXPECT_EQ(file.read(u"Settings", u"LANG", 255), QStringLiteral("1"));
        ASSERT_TRUE(file.write(u"Settings", u"LANG", u"2"));
        EXPECT_EQ(hex(contents().first(original.size())), hex(original));
        EXPECT_EQ(contents().size(), written.size());
        EXPECT_EQ(file.read(u"Settings", u"LANG", 255), QStringLiteral("2"));
    }
}

TEST_F(IniFileTest, LongLinesAndNoLineEndings)
{
    const QByteArray longValue(300000, 'v');
    put("[Settings]\r\nTRT=" + longValue);
    IniFile file(path());
    EXPECT_EQ(file.read(u"Settings", u"TRT", 255), QString(254, u'v'));
    EXPECT_EQ(file.read(u"Settings", u"TRT", 1 << 20).size(), longValue.size());
    ASSERT_TRUE(file.write(u"Settings", u"LANG", u"1"));
    EXPECT_EQ(hex(contents()), hex("[Settings]\r\nTRT=" + longValue + "\r\nLANG=1\r\n"));
}

// We read at most MaxFileSize bytes, and never rewrite a file we could not read whole.
TEST_F(IniFileTest, LargeFilesAreLeftAlone)
{
    const QByteArray head = "[Settings]\r\nLANG=2\r\n";
    const auto padded = [&](qint64 size) {
        QByteArray bytes = head;
        while (bytes.size() + 64 < size)
            bytes += ';' + QByteArray(61, '-') + "\r\n";
        return bytes + QByteArray(size - bytes.size(), ';');
    };
    struct Case {
        qint64 size;
        bool readable;
    };
    const Case cases[] = {{IniFile::MaxFileSize, true}, {IniFile::MaxFileSize + 1, false}, {2 * 1024 * 1024, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const QByteArray original = padded(c.size);
        ASSERT_EQ(original.size(), c.size);
        put(original);
        IniFile file(path());
        EXPECT_EQ(file.read(u"Settings", u"LANG", 5), c.readable ? QStringLiteral("2") : QString());
        EXPECT_EQ(file.write(u"Settings", u"LANG", u"3"), c.readable);
        const QByteArray now = contents();
        if (c.readable) {
            EXPECT_TRUE(now.startsWith("[Settings]\r\nLANG=3\r\n"));
        } else {
            EXPECT_TRUE(now == original) << "the file was changed";
        }
    }
}

// A file without write permission is not replaced, even by a user the system would let write it.
TEST_F(IniFileTest, ReadOnlyFileIsKept)
{
    const QByteArray original = "[Settings]\r\nLANG=2\r\n";
    put(original);
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    IniFile file(path());
    EXPECT_EQ(file.read(u"Settings", u"LANG", 5), QStringLiteral("2"));
    EXPECT_FALSE(file.write(u"Settings", u"LANG", u"3"));
    EXPECT_FALSE(file.write(u"Settings", u"TRT", u"x"));
    EXPECT_EQ(hex(contents()), hex(original));
}

TEST_F(IniFileTest, PathsThatAreNoFile)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Trasovky.ini")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.ini"))).constData(), 0644), 0);
    const QString paths[] = {path(), path(QStringLiteral("pipe.ini")), path(QStringLiteral("missing/Trasovky.ini"))};
    for (const QString& p : paths) {
        SCOPED_TRACE(p.toStdString());
        IniFile file(p);
        EXPECT_EQ(file.read(u"Settings", u"LANG", 5), QString());
        EXPECT_FALSE(file.write(u"Settings", u"LANG", u"1"));
    }
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
}

TEST_F(IniFileTest, ReadOnlyDirectory)
{
    const QString sub = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    ASSERT_TRUE(QFile::setPermissions(sub, QFile::ReadOwner | QFile::ExeOwner));
    if (QFileInfo(sub).isWritable()) {
        QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user may write into a read-only directory";
    }
    EXPECT_FALSE(IniFile(QDir(sub).filePath(QStringLiteral("Trasovky.ini"))).write(u"Settings", u"LANG", u"1"));
    QFile::setPermissions(sub, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(QDir(sub).isEmpty());
}
