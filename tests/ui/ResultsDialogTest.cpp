#include "ui/dialogs/ResultsDialog.h"

#include "race/RaceState.h"
#include "race/Ranking.h"
#include "tests/support/NextModalDialog.h"

#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Stands in for the main window behind the dialog; records what it is asked to do.
struct FakeHost : ResultsDialogHost {
    QStringList calls;
    const QWidget* dialog = nullptr;

    void startNewRace() override { calls << (dialog->isVisible() ? "new race over the results" : "new race"); }
    void showResultsMenuItem() override { calls << "results menu item"; }
    void closeMainWindow() override { calls << "close main window"; }
};

// A number as the list shows it: written here with a point, shown with the locale's separator.
QString shown(QString number)
{
    const QString tenth = QLocale::system().toString(0.1);
    return number.replace(u'.', tenth.size() >= 2 ? tenth[1] : QChar(u'.'));
}

// A three-car race on "Okruh Vysočina" whose record was 12.5 moves: Bára wins in 11.5 moves,
// Adam finishes half a move behind her and Cyril has crashed out after 7 moves.
class ResultsDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        for (PlayerRecord& player : state.players)
            player.state = PlayerState::NoPlayer;
        addCar(1, "Adam", PlayerState::Finished, 12, 2.5);
        addCar(2, "Bára", PlayerState::Finished, 11.5, 3.25);
        addCar(3, "Cyril", PlayerState::CrashedOut, 7, 10.125);
        state.trackName = QString::fromUtf8("Okruh Vysočina");
        state.recordMoves = 12.5;
        RankPlayers(state);
    }

    void addCar(int number, const char* name, PlayerState carState, double moves, double maxSpeed)
    {
        PlayerRecord& player = state.player(number);
        player.name = QString::fromUtf8(name);
        player.state = carState;
        player.moves = moves;
        player.maxSpeed = maxSpeed;
    }

    // The dialog over the race, filled as at the end of the race.
    ResultsDialog& make(QWidget* parent = nullptr)
    {
        dialog = std::make_unique<ResultsDialog>(state, host, dir.path(), parent);
        host.dialog = dialog.get();
        dialog->fillResults();
        return *dialog;
    }
    // The same shown (not modally), for the tests that only click inside it.
    ResultsDialog& show()
    {
        make();
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return *dialog;
    }

    template <typename Widget>
    Widget* control(const char* name) const
    {
        auto* widget = dialog->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QRadioButton* option(int index) const
    {
        for (QRadioButton* button : dialog->findChildren<QRadioButton*>(QStringLiteral("optZobrazovat")))
            if (button->property("Index").toInt() == index)
                return button;
        ADD_FAILURE() << "no optZobrazovat " << index;
        return nullptr;
    }
    void click(const char* button) const { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
    void clickHeader(int column) const
    {
        QHeaderView* header = dialog->list()->header();
        const QPoint middle(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, middle);
    }

    QStringList column(int which) const
    {
        QStringList cells;
        for (const QStringList& row : dialog->shownRows())
            cells << row[which];
        return cells;
    }
    std::vector<int> rowPlayers() const
    {
        std::vector<int> players;
        for (int i = 0; i < dialog->list()->topLevelItemCount(); ++i)
            players.push_back(dialog->list()->topLevelItem(i)->data(0, Qt::UserRole).toInt());
        return players;
    }

    QTemporaryDir dir;
    RaceState state;
    FakeHost host;
    std::unique_ptr<ResultsDialog> dialog;
};

TEST_F(ResultsDialogTest, ListsTheRankedRaceWithItsSeparatorsLinedUp)
{
    make();
    EXPECT_EQ(dialog->objectName(), QString::fromUtf8("frmVýsledky"));
    EXPECT_EQ(dialog->list()->objectName(), QString::fromUtf8("lstVýsledky"));
    const std::vector<QStringList> rows = dialog->shownRows();
    const std::vector<QStringList> expected = {
        {"1", "Bára", shown("11.500000"), shown(" 3.250000"), "nový rekord"},
        {"2", "Adam", shown("12.000000"), shown(" 2.500000"), "dojel"},
        {"x", "Cyril", shown(" 7.000000"), shown("10.125000"), "havaroval"},
    };
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(rowPlayers(), (std::vector<int>{2, 1, 3}));
}

TEST_F(ResultsDialogTest, CaptionsInEitherLanguage)
{
    const struct {
        qint32 languageOffset;
        QStringList captions;  // window, frame, the two options, the four buttons
        QStringList headers;
    } languages[] = {
        {0,
         {"Výsledky závodu", "Zobrazení výsledků", "absolutně", "relativně k vítězi", "&Nová hra", "&Skrýt", "&Konec",
          "&Zkopírovat do schránky"},
         {"Pořadí", "Jméno", "Tahů", "Max. rychlost", "Poznámky"}},
        {1000,
         {"Race results", "Show results", "absolute", "relative to the winner", "&New game", "&Hide", "E&xit",
          "&Copy to clipboard"},
         {"Place", "Name", "Moves", "Top speed", "Notes"}},
    };
    make();
    for (const auto& language : languages) {
        SCOPED_TRACE(language.languageOffset);
        state.languageOffset = language.languageOffset;
        dialog->ApplyLanguage();
        const QStringList captions = {dialog->windowTitle(),
                                      control<QGroupBox>("fraZobrazení")->title(),
                                      option(0)->text(),
                                      option(1)->text(),
                                      control<QPushButton>("cmdNováHra")->text(),
                                      control<QPushButton>("cmdSkrýt")->text(),
                                      control<QPushButton>("cmdKonec")->text(),
                                      control<QPushButton>("cmdCopy")->text()};
        EXPECT_EQ(captions, language.captions);
        QStringList headers;
        for (int c = 0; c < dialog->list()->columnCount(); ++c)
            headers << dialog->list()->headerItem()->text(c);
        EXPECT_EQ(headers, language.headers);
    }
}

TEST_F(ResultsDialogTest, OptionsShowTheMovesRelativeToTheWinnerAndBackInEveryRow)
{
    show();
    QTest::mouseClick(option(1), Qt::LeftButton);
    EXPECT_TRUE(option(1)->isChecked());
    EXPECT_EQ(dialog->displayMode(), ResultsDialog::RelativeToWinner);
    EXPECT_EQ(column(2), (QStringList{shown("11.500000"), shown("+0.500000"), shown(" 7.000000")}));
    // The other columns stay as they were.
    EXPECT_EQ(column(3), (QStringList{shown(" 3.250000"), shown(" 2.500000"), shown("10.125000")}));

    QTest::mouseClick(option(0), Qt::LeftButton);
    EXPECT_TRUE(option(0)->isChecked());
    EXPECT_EQ(dialog->displayMode(), ResultsDialog::Absolute);
    EXPECT_EQ(column(2), (QStringList{shown("11.500000"), shown("12.000000"), shown(" 7.000000")}));
}

TEST_F(ResultsDialogTest, EveryHeaderClickTurnsTheOrderRoundAndMovesSortByPlace)
{
    show();
    const struct {
        int header;
        std::vector<int> players;
        int sortColumn;
        Qt::SortOrder order;
    } clicks[] = {
        {2, {2, 1, 3}, 0, Qt::AscendingOrder},   // "Tahů": by place, "1", "2", "x"
        {2, {3, 1, 2}, 0, Qt::DescendingOrder},
        {1, {1, 2, 3}, 1, Qt::AscendingOrder},   // another column turns the order round too
        {3, {3, 2, 1}, 3, Qt::DescendingOrder},  // " 2.5", " 3.25", "10.125" as texts
        {4, {1, 3, 2}, 4, Qt::AscendingOrder},   // "dojel", "havaroval", "nový rekord"
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(c.header);
        clickHeader(c.header);
        EXPECT_EQ(rowPlayers(), c.players);
        EXPECT_EQ(dialog->list()->sortColumn(), c.sortColumn);
        EXPECT_EQ(dialog->list()->header()->sortIndicatorOrder(), c.order);
    }
}

TEST_F(ResultsDialogTest, CopyPutsTheListAsShownOnTheClipboard)
{
    show();
    QTest::mouseClick(option(1), Qt::LeftButton);
    clickHeader(2);
    clickHeader(2);  // by place, descending
    QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
    const QString before = QDate::currentDate().toString(QStringLiteral("dd. MM. yyyy"));
    click("cmdCopy");
    const QString after = QDate::currentDate().toString(QStringLiteral("dd. MM. yyyy"));
    const QString rows = QString::fromUtf8("Pořadí\tJméno\tTahů\tMax. rychlost\tPoznámky\r\n") +
                         shown(QString::fromUtf8("x\tCyril\t 7.000000\t10.125000\thavaroval\r\n"
                                           "2\tAdam\t+0.500000\t 2.500000\tdojel\r\n"
                                           "1\tBára\t11.500000\t 3.250000\tnový rekord\r\n"));
    const QString copied = QGuiApplication::clipboard()->text();
    const QString head = QString::fromUtf8("Okruh Vysočina (");
    EXPECT_TRUE(copied == head + before + ")\r\n" + rows || copied == head + after + ")\r\n" + rows)
        << copied.toStdString();
}

TEST_F(ResultsDialogTest, HiddenAndShownAgainTheListIsAsItWasLeft)
{
    make();
    {
        NextModalDialog act([this](QWidget* open) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(open));
            QTest::mouseClick(option(1), Qt::LeftButton);
            clickHeader(2);
            clickHeader(2);
            click("cmdSkrýt");
        });
        dialog->showResults();
    }
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(host.calls, QStringList{"results menu item"});

    std::vector<QStringList> seen;
    bool relative = false;
    QWidget* focus = nullptr;
    {
        NextModalDialog act([&](QWidget* open) {
            EXPECT_EQ(open, dialog.get());
            EXPECT_TRUE(QTest::qWaitForWindowActive(open));
            focus = dialog->focusWidget();
            seen = dialog->shownRows();
            relative = option(1)->isChecked();
            click("cmdSkrýt");
        });
        dialog->showResults();
    }
    const std::vector<QStringList> expected = {
        {"x", "Cyril", shown(" 7.000000"), shown("10.125000"), "havaroval"},
        {"2", "Adam", shown("+0.500000"), shown(" 2.500000"), "dojel"},
        {"1", "Bára", shown("11.500000"), shown(" 3.250000"), "nový rekord"},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(relative);
    // "Skrýt" left the focus on "Nová hra" for the next showing.
    EXPECT_EQ(focus, control<QPushButton>("cmdNováHra"));
    // The sort goes on from where it was: the next click turns it ascending.
    clickHeader(2);
    EXPECT_EQ(rowPlayers(), (std::vector<int>{2, 1, 3}));
}

TEST_F(ResultsDialogTest, TheCloseBoxAndEscHideTheDialogAsSkrytDoes)
{
    const struct {
        const char* label;
        std::function<void(QWidget*)> close;
    } ways[] = {
        {"close box", [](QWidget* open) { open->windowHandle()->close(); }},
        {"Esc", [](QWidget* open) { QTest::keyClick(open, Qt::Key_Escape); }},
    };
    make();
    for (const auto& way : ways) {
        SCOPED_TRACE(way.label);
        host.calls.clear();
        {
            NextModalDialog act(way.close);
            dialog->showResults();
        }
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(host.calls, QStringList{"results menu item"});
        EXPECT_EQ(dialog->list()->topLevelItemCount(), 3);
    }
}

TEST_F(ResultsDialogTest, KonecAsksTheMainWindowToCloseAndStaysWhenItDoesNot)
{
    make();
    bool stillShown = false;
    {
        NextModalDialog act([&](QWidget*) {
            click("cmdKonec");
            stillShown = dialog->isVisible();
            click("cmdSkrýt");
        });
        dialog->showResults();
    }
    EXPECT_TRUE(stillShown);
    EXPECT_EQ(host.calls, (QStringList{"close main window", "results menu item"}));
}

TEST_F(ResultsDialogTest, NovaHraHidesTheDialogThenStartsTheNewRaceWithAbsoluteMoves)
{
    make();
    {
        NextModalDialog act([this](QWidget*) {
            QTest::mouseClick(option(1), Qt::LeftButton);
            click("cmdNováHra");
        });
        dialog->showResults();
    }
    EXPECT_EQ(host.calls, QStringList{"new race"});
    EXPECT_TRUE(option(0)->isChecked());
    EXPECT_EQ(column(2), (QStringList{shown("11.500000"), shown("12.000000"), shown(" 7.000000")}));
}

TEST_F(ResultsDialogTest, RowsCannotBeEditedInPlace)
{
    show();
    QTreeWidget* list = dialog->list();
    const QRect cell = list->visualItemRect(list->topLevelItem(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClick(list, Qt::Key_F2);
    EXPECT_EQ(list->findChild<QLineEdit*>(), nullptr);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "1");
}

TEST_F(ResultsDialogTest, NoColumnCutsItsTextsOrItsHeader)
{
    addCar(4, "Maximilián Nepřemožitelný", PlayerState::CrashedOut, 5, 1);
    RankPlayers(state);
    for (const qint32 languageOffset : {0, 1000}) {
        SCOPED_TRACE(languageOffset);
        state.languageOffset = languageOffset;
        show();
        clickHeader(1);  // the sort arrow takes room in the header
        QTreeWidget* list = dialog->list();
        const QFontMetrics cells(list->font());
        const QFontMetrics headers(list->header()->font());
        for (int c = 0; c + 1 < list->columnCount(); ++c) {  // the last column reaches the list's edge
            SCOPED_TRACE(c);
            const int width = list->header()->sectionSize(c);
            EXPECT_GE(width, headers.horizontalAdvance(list->headerItem()->text(c) + "  "));
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                EXPECT_GT(width, cells.horizontalAdvance(list->topLevelItem(i)->text(c)));
        }
    }
}

TEST_F(ResultsDialogTest, ANewRaceKeepsTheDisplayModeAndTheSortThatWereChosen)
{
    show();
    QTest::mouseClick(option(1), Qt::LeftButton);
    clickHeader(2);
    clickHeader(2);  // by place, descending
    click("cmdSkrýt");

    // The next race: Cyril wins, Bára finishes a quarter of a move behind.
    for (PlayerRecord& player : state.players)
        player.state = PlayerState::NoPlayer;
    addCar(2, "Bára", PlayerState::Finished, 10.25, 3);
    addCar(3, "Cyril", PlayerState::Finished, 10, 4);
    RankPlayers(state);
    dialog->fillResults();
    const std::vector<QStringList> expected = {
        {"2", "Bára", shown("+0.250000"), shown("3.000000"), "dojel"},
        {"1", "Cyril", shown("10.000000"), shown("4.000000"), "nový rekord"},
    };
    EXPECT_EQ(dialog->shownRows(), expected);
}

// A GIF of one green pixel: Qt reads GIF pictures but cannot write them.
QByteArray greenPixelGif()
{
    static constexpr char bytes[] =
        "GIF89a"                                        // signature
        "\x01\x00\x01\x00\x80\x00\x00"                  // 1 x 1, a global table of two colours
        "\x00\xff\x00\x00\x00\x00"                      // green, black
        "\x2c\x00\x00\x00\x00\x01\x00\x01\x00\x00"      // the image: 1 x 1 at (0, 0)
        "\x02\x02\x44\x01\x00"                          // LZW: clear, colour 0, end
        "\x3b";                                         // trailer
    return QByteArray(bytes, sizeof bytes - 1);
}

TEST_F(ResultsDialogTest, PictureBesideTheProgramOrTheWindowIcon)
{
    enum Content { GreenPicture, GreenGif, Damaged };
    const struct {
        const char* label;
        std::vector<std::pair<const char*, Content>> files;
        bool stretched;
        QSize pixmapSize;
    } cases[] = {
        {"none: the parent's icon at its own size", {}, false, QSize(32, 32)},
        {"the bitmap before the gif", {{"vysledky.bmp", GreenPicture}, {"vysledky.gif", GreenGif}}, true, QSize(80, 100)},
        {"only a gif", {{"vysledky.gif", GreenGif}}, true, QSize(1, 1)},
        {"a damaged bitmap: the jpeg", {{"vysledky.bmp", Damaged}, {"vysledky.jpg", GreenPicture}}, true, QSize(80, 100)},
        {"all damaged: the icon", {{"vysledky.bmp", Damaged}, {"vysledky.jpg", Damaged}, {"vysledky.gif", Damaged}}, false, QSize(32, 32)},
    };
    QWidget parent;
    QPixmap red(32, 32);
    red.fill(Qt::red);
    parent.setWindowIcon(QIcon(red));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        for (const auto& [name, content] : c.files) {
            const QString path = QDir(folder.path()).filePath(name);
            if (content == GreenPicture) {
                QImage image(80, 100, QImage::Format_RGB32);
                image.fill(Qt::green);
                ASSERT_TRUE(image.save(path, QByteArray(name).split('.').last().toUpper().constData())) << name;
                continue;
            }
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(content == GreenGif ? greenPixelGif() : QByteArray("BM not a picture at all"));
        }
        ResultsDialog results(state, host, folder.path(), &parent);
        QLabel* image = results.picture();
        EXPECT_EQ(image->objectName(), "imgResults");
        EXPECT_EQ(image->hasScaledContents(), c.stretched);
        EXPECT_EQ(image->pixmap().size(), c.pixmapSize);
        const QColor middle = image->pixmap().toImage().pixelColor(c.pixmapSize.width() / 2, c.pixmapSize.height() / 2);
        if (c.stretched)
            EXPECT_TRUE(middle.green() > 240 && middle.red() < 16 && middle.blue() < 16) << qPrintable(middle.name());
        else
            EXPECT_EQ(middle, QColor(Qt::red));
        // The picture keeps its room in the layout whatever its own size.
        EXPECT_EQ(image->size(), QSize(160, 200));
    }
}

TEST_F(ResultsDialogTest, WithoutAParentThePictureIsTheGamesIcon)
{
    make();
    EXPECT_FALSE(dialog->picture()->hasScaledContents());
    const QImage shownIcon = dialog->picture()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    const QImage gameIcon = QIcon(":/trasovky.xpm").pixmap(QSize(32, 32)).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_FALSE(gameIcon.isNull());
    EXPECT_EQ(shownIcon, gameIcon);
}

}  // namespace
