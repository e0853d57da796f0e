#include "shell/LanguageState.h"
#include "shell/StringTable.h"
#include "shell/StringIds.h"

#include <gtest/gtest.h>

TEST(StringTable, ShippedTableHoldsTwoLanguagesWithEveryTextInBoth)
{
    const StringTable& table = StringTable::shipped();
    EXPECT_EQ(table.text(StringId::LanguageCount), QStringLiteral("2"));
    EXPECT_EQ(table.text(StringId::LanguageStep), QStringLiteral("1000"));
    EXPECT_EQ(table.text(11), QStringLiteral("čeština"));
    EXPECT_EQ(table.text(1011), QStringLiteral("English"));
    for (const qint32 id : table.ids()) {
        if (id <= StringId::LanguageStep)
            continue;
        const qint32 other = id < 1000 ? id + 1000 : id - 1000;
        EXPECT_TRUE(table.contains(other)) << "id " << id << " has no counterpart " << other;
        EXPECT_FALSE(table.text(id).isEmpty()) << "id " << id;
        EXPECT_LT(id, 2000) << "id " << id << " is past the second language";
    }
}

// Texts whose blanks, punctuation or spelling are easily lost.
TEST(StringTable, CzechTextsStandWordForWord)
{
    const LanguageState czech{2, 1000, 0};
    const std::pair<qint32, const char*> cases[] = {
        {12, "Trasovky - Kladivnice Cup"},
        {32, "Sí&la trajektorie"},
        {43, "Je&n povolený tah"},
        {61, "Dokumenty Word "},
        {103, "Hráč"},
        {141, "Definiční soubory tratí "},
        {501, "Opravdu chcete skončit?"},
        {502, "Konec"},
        {505, "Tah "},
        {507, " ještě jeden tah nehraje."},
        {510, "Vaše kružnice je mimo obrázek trati. Bude proveden tah minimální rychlostí!"},
        {511, "V tomto tahu se nabouráte v rychlosti "},
        {516, ", která je bohužel tak velká, že nebudete schopni pokračovat v závodu! Jste si jisti, že ho chcete opravdu provést?"},
        {518, "Projíždíte nesprávnou kontrolou. Budete diskvalifikován! Opradu si přejete tento tah provést?"},
        {521, "Sláva! Projel jste cílem v tahu "},
        {528, " nelze najít. Zkusíte soubor najít sami?"},
        {550, " - rekord"},
        {552, "Soubor "},
        {553, " nenalezen!"},
        {554, " obsahuje neplatné údaje nebo je poškozen!"},
        {558, "Rekord obsahuje neplatné ůdaje."},
    };
    for (const auto& [id, text] : cases)
        EXPECT_EQ(LoadText(czech, id), QString::fromUtf8(text)) << "id " << id;
}

TEST(StringTable, LoadTextAddsTheLanguageOffset)
{
    const LanguageState english{2, 1000, 1000};
    EXPECT_EQ(LoadText(english, 501), QStringLiteral("Do you really want to quit?"));
    EXPECT_EQ(CurrentLanguage(english), 2);
    EXPECT_EQ(LoadText(english, 9999), QString());
}

TEST(StringTable, ParserReadsEscapesCommentsAndBlanks)
{
    const auto table = StringTable::parse("# comment\r\n\n  7 \"a \\\"b\\\" \\\\ c\\nd \"  \r\n8\t\"\"\n");
    ASSERT_TRUE(table.has_value());
    EXPECT_EQ(table->text(7), QStringLiteral("a \"b\" \\ c\nd "));
    EXPECT_TRUE(table->contains(8));
    EXPECT_EQ(table->text(8), QString());
}

TEST(StringTable, ParserRefusesMalformedLines)
{
    const char* cases[] = {
        "7 text without quotes",
        "7 \"unclosed",
        "7 \"bad escape \\q\"",
        "x \"no id\"",
        "7\"no blank\"",
        "7 \"trailing\" junk",
        "7 \"one\"\n7 \"twice\"",
    };
    for (const char* text : cases) {
        QString error;
        EXPECT_FALSE(StringTable::parse(text, &error).has_value()) << text;
        EXPECT_FALSE(error.isEmpty()) << text;
    }
}
