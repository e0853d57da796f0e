#include "ui/dialogs/NewRaceDialog.h"

#include "files/RecordFile.h"
#include "race/RaceState.h"
#include "shell/IniFile.h"
#include "shell/MessageBoxStyle.h"
#include "shell/SettingsFile.h"
#include "shell/Windows1250.h"
#include "tests/support/RecordingGameWindow.h"
#include "tools/MetafileWriter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace {

// Stands in for the main window behind the dialog.
struct FakeHost : RaceDialogHost {
    RecordingGameWindow window;
    QStringList calls;

    GameWindow& gameWindow() override { return window; }
    void repaintMainWindow() override { calls << "repaint"; }
    void showRaceStart(bool showTrajectories) override
    {
        calls << (showTrajectories ? "race start, trajectories shown" : "race start, trajectories hidden");
    }
    void showRecordInformation() override { calls << "record information"; }
    void endProgram() override { calls << "end program"; }
};

struct ChooserCall {
    QString title;
    QString filter;
    QString initialPath;
};

// A picture of width × height units filled with one colour.
QByteArray plainPicture(int width, int height, ColorValue color)
{
    MetafileWriter writer;
    writer.setPlaceable(QRect(0, 0, width, height), 96);
    writer.setWindowOrg(0, 0);
    writer.setWindowExt(width, height);
    writer.selectObject(writer.createPen(5, 0, 0));
    writer.selectObject(writer.createBrush(0, color));
    writer.rectangle(QRect(0, 0, width, height));
    return writer.bytes();
}

const QString DamagedSuffix = QStringLiteral(" obsahuje neplatné údaje nebo je poškozen!");

// A program folder with copies of two bundled tracks (Rybnik with its record, Kladivnice without),
// a race state, a host and the dialog over them; the file and colour choosers answer from scripts.
class NewRaceDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("tracks"));
        const QDir bundled(QStringLiteral(TRASOVKY_SOURCE_DIR "/tracks"));
        for (const char* name : {"Rybnik.trt", "Rybnik.wmf", "Rybnik.rek", "Kladivnice.trt", "Kladivnice.wmf"})
            ASSERT_TRUE(QFile::copy(bundled.filePath(name), dir.filePath(QStringLiteral("tracks/") + name))) << name;
        ReadLanguageLayout(state);
    }

    // Starts again with a new state, host and dialog over the same folder.
    void restart()
    {
        dialog_.reset();
        state = RaceState{};
        ReadLanguageLayout(state);
        host = FakeHost{};
    }

    QString trackPath(const QString& name) const { return QDir::toNativeSeparators(dir.filePath("tracks/" + name)); }

    void writeFile(const QString& path, const QByteArray& bytes) const
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
        file.write(bytes);
    }
    // A track definition file in the tracks folder with a picture of one colour beside it.
    void writeTrack(const QString& name, const QString& definition, int width, int height, ColorValue color) const
    {
        writeFile(trackPath(name + ".trt"), encodeWindows1250(definition));
        writeFile(trackPath(name + ".wmf"), plainPicture(width, height, color));
    }
    void writeSettings(const QByteArray& bytes) const { writeFile(settingsFilePath(dir.path()), bytes); }
    // The remembered track as the settings file holds it; nothing without a settings file.
    std::optional<QString> storedTrack() const
    {
        IniFile settings(settingsFilePath(dir.path()));
        if (!settings.exists())
            return std::nullopt;
        return settings.read(SettingsSection, TrackKey, 20000);
    }

    NewRaceDialog& dialog()
    {
        if (!dialog_) {
            NewRaceDialogServices services;
            services.dataDirectory = dir.path();
            services.chooseTrackFile = [this](QWidget*, const QString& title, const QString& filter, const QString& initial) {
                chooserCalls.push_back({title, filter, initial});
                if (chosenFiles.empty())
                    return QString();
                const QString chosen = chosenFiles.front();
                chosenFiles.pop_front();
                return chosen;
            };
            services.chooseColor = [this](QWidget*, const QColor& initial) -> std::optional<QColor> {
                colourInitials.push_back(initial);
                if (chosenColours.empty())
                    return std::nullopt;
                const std::optional<QColor> chosen = chosenColours.front();
                chosenColours.pop_front();
                return chosen;
            };
            dialog_ = std::make_unique<NewRaceDialog>(state, host, services);
        }
        return *dialog_;
    }

    // Opens the dialog in the mode and runs act inside its modal loop. Gives whether the dialog
    // was still open when act had run; it is closed then. A dialog still open after five seconds
    // fails the test and is closed.
    bool open(NewRaceDialog::Mode mode, const std::function<void()>& act)
    {
        NewRaceDialog& d = dialog();
        bool ran = false;
        bool openAfter = false;
        QTimer starter;
        starter.setSingleShot(true);
        QObject::connect(&starter, &QTimer::timeout, &d, [&] {
            ran = true;
            d.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&d));
            act();
            openAfter = d.isVisible();
            d.hide();
        });
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &d, [&] {
            ADD_FAILURE() << "the dialog was still open after five seconds";
            for (int i = 0; i < 10 && QApplication::activeModalWidget(); ++i)
                QApplication::activeModalWidget()->hide();
            d.hide();
        });
        starter.start(0);
        guard.start(5000);
        d.OpenRaceDialog(mode);
        EXPECT_TRUE(ran) << "the dialog did not open";
        return openAfter;
    }

    // The dialog's control of that name (and Index, for the rows and labels).
    template <typename Widget = QWidget>
    Widget* control(const char* name, int index = 0)
    {
        for (Widget* widget : dialog().findChildren<Widget*>(QString::fromUtf8(name)))
            if (index == 0 || widget->property("Index").toInt() == index)
                return widget;
        ADD_FAILURE() << "no control " << name << " " << index;
        auto* stray = new Widget;  // keeps the test running to its other checks
        strays.emplace_back(stray);
        return stray;
    }
    QString text(const char* name) { return control<QLineEdit>(name)->text(); }
    QCheckBox* tick(int row) { return control<QCheckBox>("chkHráči", row); }
    void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }
    void pressCtrl(int row) { QTest::keyClick(control("txtJméno", row), Qt::Key_Control); }
    // Chooses the file through "Jiná trať..."; "" cancels the file chooser.
    void choose(const QString& path)
    {
        chosenFiles.push_back(path);
        click(control("cmdZměnit"));
    }
    QColor background(QWidget* widget) const { return widget->palette().color(widget->backgroundRole()); }

    QTemporaryDir dir;
    RaceState state;
    FakeHost host;
    std::deque<QString> chosenFiles;
    std::vector<ChooserCall> chooserCalls;
    std::deque<std::optional<QColor>> chosenColours;
    std::vector<QColor> colourInitials;
    std::unique_ptr<NewRaceDialog> dialog_;
    std::vector<std::unique_ptr<QObject>> strays;
};

TEST_F(NewRaceDialogTest, RememberedTrackOpensOrIsForgotten)
{
    const QByteArray longValue = "%" + QByteArray(9999, 'a');
    const QString wholePath = trackPath("Rybnik.trt");
    writeTrack("Zlom", "Zlom|široká|", 10, 10, 0);
    const struct Case {
        const char* label;
        std::optional<QByteArray> remembered;  // nothing: no settings file
        QString name;                          // the track shown; "" for none
        QString file;
        std::optional<QString> storedAfter;
        QString message;                       // the one message expected, or none
    } cases[] = {
        {"relative", "%tracks/Rybnik.trt", "Kolem rybníka", trackPath("Rybnik.trt"), "%tracks/Rybnik.trt", ""},
        {"relative with backslashes", "%tracks\\Kladivnice.trt", "Kladivnický okruh", trackPath("Kladivnice.trt"),
         "%tracks\\Kladivnice.trt", ""},
        {"whole path", wholePath.toUtf8(), "Kolem rybníka", wholePath, wholePath, ""},
        {"missing file", "%tracks/Chybi.trt", "", "", "", ""},
        {"a folder", "%tracks", "", "", "", ""},
        {"10 000 characters", longValue, "", "", "", ""},
        {"empty", "", "", "", "", ""},
        {"no settings file", std::nullopt, "", "", std::nullopt, ""},
        {"damaged track", "%tracks/Zlom.trt", "", "", "%tracks/Zlom.trt", "Soubor " + trackPath("Zlom.trt") + DamagedSuffix},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        restart();
        QFile::remove(settingsFilePath(dir.path()));
        if (c.remembered)
            writeSettings("[Settings]\r\nLANG=1\r\nTRT=" + *c.remembered + "\r\n");
        const bool loaded = !c.name.isEmpty();
        open(NewRaceDialog::Mode::NewRace, [&] {
            EXPECT_EQ(dialog().windowTitle(), "Nový závod...");
            EXPECT_EQ(text("txtNázev"), c.name);
            EXPECT_EQ(text("txtDefSoubor"), c.file);
            EXPECT_EQ(control<QPushButton>("cmdStart")->isEnabled(), loaded);
            // With a track Enter starts; without one, choosing a track comes first.
            EXPECT_EQ(dialog().focusWidget(), control(loaded ? "cmdStart" : "cmdZměnit"));
            EXPECT_TRUE(control<QPushButton>("cmdOK")->isHidden());
        });
        EXPECT_EQ(storedTrack(), c.storedAfter);
        if (c.message.isEmpty()) {
            EXPECT_TRUE(host.window.boxes.empty());
        } else {
            ASSERT_EQ(host.window.boxes.size(), 1u);
            EXPECT_EQ(host.window.boxes[0].prompt, c.message);
            EXPECT_EQ(host.window.boxes[0].style, StyleCritical);
            EXPECT_EQ(host.window.boxes[0].title, "Chyba!");
        }
        // The race was reset and the main window repainted before the track was read.
        EXPECT_EQ(host.calls.value(0), "repaint");
        EXPECT_TRUE(host.window.calls.contains("logo"));
        if (loaded) {
            EXPECT_LT(host.window.calls.indexOf("logo"), host.window.calls.indexOf("track view"));
        }
    }
}

TEST_F(NewRaceDialogTest, ChosenTrackIsRememberedInTheFolderForm)
{
    QTemporaryDir elsewhere;
    ASSERT_TRUE(elsewhere.isValid());
    for (const char* name : {"Rybnik.trt", "Rybnik.wmf"})
        ASSERT_TRUE(QFile::copy(trackPath(name), elsewhere.filePath(name)));
    const QString otherFolder = QDir::toNativeSeparators(elsewhere.filePath("Rybnik.trt"));
    const QString otherCase = QDir::toNativeSeparators(dir.path().toUpper() + "/tracks/Rybnik.trt");
    ASSERT_NE(QDir::fromNativeSeparators(otherCase), dir.filePath("tracks/Rybnik.trt"));

    open(NewRaceDialog::Mode::NewRace, [&] {
        choose(trackPath("Kladivnice.trt"));
        ASSERT_EQ(chooserCalls.size(), 1u);
        EXPECT_EQ(chooserCalls[0].title, "Načti trať...");
        EXPECT_EQ(chooserCalls[0].filter, "Definiční soubory tratí (*.trt)");
        EXPECT_EQ(chooserCalls[0].initialPath, QDir::toNativeSeparators(dir.path() + "/*.trt"));
        EXPECT_EQ(text("txtNázev"), "Kladivnický okruh");
        EXPECT_EQ(text("txtDefSoubor"), trackPath("Kladivnice.trt"));
        EXPECT_EQ(storedTrack(), QDir::toNativeSeparators("%tracks/Kladivnice.trt"));
        EXPECT_TRUE(control<QPushButton>("cmdStart")->isEnabled());
        EXPECT_EQ(dialog().focusWidget(), control("cmdStart"));

        // Cancelled: nothing changes.
        choose("");
        ASSERT_EQ(chooserCalls.size(), 2u);
        EXPECT_EQ(chooserCalls[1].initialPath, trackPath("Kladivnice.trt"));
        EXPECT_EQ(text("txtNázev"), "Kladivnický okruh");
        EXPECT_EQ(state.trackName, "Kladivnický okruh");
        EXPECT_EQ(storedTrack(), QDir::toNativeSeparators("%tracks/Kladivnice.trt"));

        choose(otherFolder);
        EXPECT_EQ(text("txtNázev"), "Kolem rybníka");
        EXPECT_EQ(storedTrack(), otherFolder);

        // The folder's name in other letters where the file system minds letter case: another
        // folder, kept whole (the remembered-track tests show it stored relative where the
        // spelling names the same folder).
        choose(otherCase);
        EXPECT_EQ(storedTrack(), QDir::toNativeSeparators(otherCase));
    });
}

TEST_F(NewRaceDialogTest, DamagedTrackAfterAGoodOneLeavesNothingToStartOrCheck)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    writeTrack("Zlom", "Zlom|100|sto|", 10, 10, 0);
    open(NewRaceDialog::Mode::NewRace, [&] {
        ASSERT_NE(state.recordMoves, 0.0);
        EXPECT_EQ(text("txtRekord"), recordSummary(state));
        EXPECT_TRUE(control("cmdRekord")->isEnabled());
        EXPECT_TRUE(control("cmdKontrola")->isEnabled());
        click(control("cmdRekord"));
        EXPECT_EQ(host.calls.value(1), "record information");

        choose(trackPath("Zlom.trt"));
        ASSERT_EQ(host.window.boxes.size(), 1u);
        EXPECT_EQ(host.window.boxes[0].prompt, "Soubor " + trackPath("Zlom.trt") + DamagedSuffix);
        for (const char* field : {"txtDefSoubor", "txtNázev", "txtPočetPozic", "txtMaxRychlost", "txtPočetKontrol", "txtRekord"})
            EXPECT_EQ(text(field), "") << field;
        EXPECT_EQ(control<QPlainTextEdit>("txtPopis")->toPlainText(), "");
        EXPECT_EQ(state.recordMoves, 0.0);
        for (const char* button : {"cmdStart", "cmdKontrola", "cmdRekord"})
            EXPECT_FALSE(control(button)->isEnabled()) << button;
        auto* preview = control<QLabel>("picNáhled");
        EXPECT_EQ(preview->size(), QSize(state.previewWidth, state.previewHeight));
        EXPECT_EQ(background(preview), QColor(255, 0, 255));
        EXPECT_TRUE(preview->pixmap().isNull());
        for (int row = 1; row <= PlayerSlots; ++row)
            EXPECT_EQ(control("txtJméno", row)->palette().color(QPalette::Base), QColor(Qt::white)) << row;
    });
    // Remembered though it did not load: the next opening reports it again.
    EXPECT_EQ(storedTrack(), QDir::toNativeSeparators("%tracks/Zlom.trt"));
}

TEST_F(NewRaceDialogTest, PlayerRowsFollowTheStartPositions)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    writeTrack("Dvojka", "Dvojka|200|100|10|3|000128000|000255000|1|255255255|000000000|2|20|20|20|80|Dvě pozice", 200, 100,
               colorValue(0, 128, 0));
    const auto rowHidden = [this](int row) {
        const bool hidden = tick(row)->isHidden();
        EXPECT_EQ(control("txtJméno", row)->isHidden(), hidden) << row;
        EXPECT_EQ(control("picBarva", row)->isHidden(), hidden) << row;
        return hidden;
    };
    open(NewRaceDialog::Mode::NewRace, [&] {
        click(tick(2));
        click(tick(3));
        ASSERT_TRUE(tick(3)->isChecked());

        choose(trackPath("Dvojka.trt"));
        EXPECT_EQ(text("txtNázev"), "Dvojka");
        EXPECT_EQ(text("txtPočetPozic"), "2");
        EXPECT_EQ(text("txtMaxRychlost"), "3");
        EXPECT_EQ(text("txtPočetKontrol"), "1");
        for (int row = 1; row <= PlayerSlots; ++row) {
            EXPECT_EQ(rowHidden(row), row > 2) << row;
            EXPECT_EQ(tick(row)->isChecked(), row <= 2) << row;
        }

        // Ctrl alone toggles the tick of a row that is shown, and only there.
        pressCtrl(3);
        EXPECT_FALSE(tick(3)->isChecked());
        pressCtrl(2);
        EXPECT_FALSE(tick(2)->isChecked());
        EXPECT_TRUE(control("cmdStart")->isEnabled());
        pressCtrl(1);
        EXPECT_FALSE(tick(1)->isChecked());
        EXPECT_FALSE(control("cmdStart")->isEnabled());
        // A Ctrl shortcut in the name box is no toggle.
        QWidget* name1 = control("txtJméno", 1);
        QTest::keyPress(name1, Qt::Key_Control);
        QTest::keyClick(name1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyRelease(name1, Qt::Key_Control);
        EXPECT_FALSE(tick(1)->isChecked());
        pressCtrl(1);
        EXPECT_TRUE(tick(1)->isChecked());
        EXPECT_TRUE(control("cmdStart")->isEnabled());
        click(tick(1));
        EXPECT_FALSE(control("cmdStart")->isEnabled());

        choose(trackPath("Rybnik.trt"));
        for (int row = 1; row <= PlayerSlots; ++row)
            EXPECT_FALSE(rowHidden(row)) << row;
    });
}

TEST_F(NewRaceDialogTest, FirstOpeningHasOnePlayerReadyToStart)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    const bool openAfter = open(NewRaceDialog::Mode::NewRace, [&] {
        for (int row = 1; row <= PlayerSlots; ++row)
            EXPECT_EQ(tick(row)->isChecked(), row == 1) << row;
        EXPECT_TRUE(control("cmdStart")->isEnabled());
        // Start is the default button: Enter in a name box presses it.
        QTest::keyClick(control("txtJméno", 1), Qt::Key_Return);
    });
    EXPECT_FALSE(openAfter);
    EXPECT_EQ(host.calls.value(1), "race start, trajectories shown");
    EXPECT_EQ(state.playersRacing, 1);
    EXPECT_EQ(state.currentPlayer, 1);
    EXPECT_EQ(state.player(1).name, "Hráč 1");
    EXPECT_EQ(state.player(1).color, colorValue(255, 0, 0));
    EXPECT_EQ(state.startPositions.size(), 10u);
}

TEST_F(NewRaceDialogTest, StartPutsTheTickedRowsIntoTheRace)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    const bool openAfter = open(NewRaceDialog::Mode::NewRace, [&] {
        click(tick(1));
        click(tick(2));
        click(tick(5));
        // Clicking into a name box selects the name, so typing replaces it.
        QWidget* name = control("txtJméno", 2);
        click(name);
        QApplication::processEvents();
        EXPECT_EQ(control<QLineEdit>("txtJméno", 2)->selectedText(), "Hráč 2");
        QTest::keyClicks(name, "Alena");
        click(control("chkTrajektorie"));
        click(control("cmdStart"));
    });
    EXPECT_FALSE(openAfter);
    EXPECT_EQ(host.calls.value(1), "race start, trajectories hidden");
    EXPECT_EQ(state.currentPlayer, 2);
    EXPECT_EQ(state.playersRacing, 2);
    for (int number = 1; number <= PlayerSlots; ++number)
        EXPECT_EQ(state.player(number).state, number == 2 || number == 5 ? PlayerState::ChoosingStart : PlayerState::NoPlayer) << number;
    EXPECT_EQ(state.player(2).name, "Alena");
    EXPECT_EQ(state.player(2).color, colorValue(0, 0, 255));
    EXPECT_EQ(state.player(5).name, "Hráč 5");
    EXPECT_EQ(state.player(5).color, colorValue(0, 0, 0));
    EXPECT_EQ(state.player(6).color, colorValue(255, 192, 128));
}

TEST_F(NewRaceDialogTest, ColourBoxOpensTheColourChooser)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    chosenColours = {QColor(10, 20, 30), std::nullopt};
    open(NewRaceDialog::Mode::NewRace, [&] {
        QWidget* box = control("picBarva", 3);
        click(box);
        ASSERT_EQ(colourInitials.size(), 1u);
        EXPECT_EQ(colourInitials[0], QColor(0, 128, 0));
        EXPECT_EQ(background(box), QColor(10, 20, 30));
        click(box);  // cancelled
        ASSERT_EQ(colourInitials.size(), 2u);
        EXPECT_EQ(colourInitials[1], QColor(10, 20, 30));
        EXPECT_EQ(background(box), QColor(10, 20, 30));
        click(tick(3));
        click(control("cmdStart"));
    });
    EXPECT_EQ(state.player(3).color, colorValue(10, 20, 30));
}

TEST_F(NewRaceDialogTest, InformationModeShowsTheRaceReadOnly)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    open(NewRaceDialog::Mode::NewRace, [&] { click(control("cmdStart")); });
    // Whatever happened to the files since, the dialog shows the race as it started.
    ASSERT_TRUE(QFile::remove(trackPath("Rybnik.trt")));
    writeSettings("[Settings]\r\nTRT=%tracks/Kladivnice.trt\r\n");
    host.calls.clear();
    host.window.calls.clear();

    const bool openAfterEsc = open(NewRaceDialog::Mode::Information, [&] {
        EXPECT_EQ(dialog().windowTitle(), "Informace o závodu...");
        EXPECT_FALSE(dialog().isNewRaceMode());
        EXPECT_EQ(text("txtNázev"), "Kolem rybníka");
        auto* back = control<QPushButton>("cmdOK");
        auto* start = control<QPushButton>("cmdStart");
        EXPECT_FALSE(back->isHidden());
        EXPECT_TRUE(back->isDefault());
        EXPECT_TRUE(start->isHidden());
        EXPECT_EQ(back->geometry(), start->geometry());
        for (const char* name : {"fraHráči", "chkTrajektorie", "cmdZměnit", "cmdKontrola"})
            EXPECT_FALSE(control(name)->isEnabled()) << name;
        click(control("picBarva", 1));
        EXPECT_TRUE(colourInitials.empty());
        QTest::keyClick(&dialog(), Qt::Key_Escape);
    });
    EXPECT_FALSE(openAfterEsc);
    EXPECT_FALSE(open(NewRaceDialog::Mode::Information, [&] { click(control("cmdOK")); }));
    EXPECT_TRUE(host.calls.isEmpty());
    EXPECT_TRUE(host.window.calls.isEmpty());
    EXPECT_TRUE(host.window.boxes.empty());
    EXPECT_EQ(state.playersRacing, 1);
}

TEST_F(NewRaceDialogTest, CloseBoxAsksBeforeEndingTheProgram)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Rybnik.trt\r\n");
    host.window.answers = {AnswerNo, AnswerYes};
    const bool openAfter = open(NewRaceDialog::Mode::NewRace, [&] {
        // No cancel button in a new race: Esc does nothing.
        QTest::keyClick(control("txtJméno", 1), Qt::Key_Escape);
        EXPECT_TRUE(dialog().isVisible());
        EXPECT_TRUE(host.window.boxes.empty());

        dialog().close();
        ASSERT_EQ(host.window.boxes.size(), 1u);
        EXPECT_EQ(host.window.boxes[0].prompt, "Opravdu chcete skončit?");
        EXPECT_EQ(host.window.boxes[0].style, StyleYesNoDefaultNo);
        EXPECT_EQ(host.window.boxes[0].title, "Konec");
        EXPECT_TRUE(dialog().isVisible());
        EXPECT_FALSE(host.calls.contains("end program"));

        dialog().close();
        EXPECT_EQ(host.window.boxes.size(), 2u);
        EXPECT_TRUE(host.calls.contains("end program"));
    });
    EXPECT_FALSE(openAfter);
}

TEST_F(NewRaceDialogTest, PreviewAreaLiesBelowTheButtonInsideTheFrame)
{
    open(NewRaceDialog::Mode::NewRace, [&] {
        QWidget* frame = control("fraDráha");
        const QWidget* preview = control("picNáhled");
        const QRect area(preview->mapTo(frame, QPoint(0, 0)), preview->size());
        EXPECT_EQ(area.size(), QSize(state.previewWidth, state.previewHeight));
        EXPECT_GE(state.previewWidth, 200);
        EXPECT_GE(state.previewHeight, 150);
        const QRect button = control("cmdZměnit")->geometry();
        EXPECT_EQ(area.x() + area.width(), button.x() + button.width());
        EXPECT_TRUE(frame->contentsRect().contains(area));
        for (const QWidget* other : frame->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            if (!other->isHidden() && !other->isAncestorOf(preview)) {
                EXPECT_FALSE(other->geometry().intersects(area)) << other->objectName().toStdString();
            }
    });
}

TEST_F(NewRaceDialogTest, PreviewKeepsTheTrackProportions)
{
    writeTrack("Vez", "Věž|100|400|10|0|255255255|000000000|1|000000255|255000000|1|50|10|50|20|", 100, 400,
               colorValue(255, 0, 0));
    const struct {
        const char* file;
        QSize size;  // in a preview area of 400 × 300
        QColor background;
    } cases[] = {
        {"Rybnik.trt", {400, 286}, QColor(92, 158, 64)},  // 840 × 600: 400 wide, 600 · 400 / 840 = 285.7 high
        {"Vez.trt", {75, 300}, QColor(255, 255, 255)},    // 100 × 400: 300 high, 100 · 300 / 400 wide
    };
    open(NewRaceDialog::Mode::NewRace, [&] {
        state.previewWidth = 400;
        state.previewHeight = 300;
        for (const auto& c : cases) {
            choose(trackPath(c.file));
            auto* preview = control<QLabel>("picNáhled");
            EXPECT_EQ(preview->size(), c.size) << c.file;
            EXPECT_EQ(preview->pixmap().deviceIndependentSize().toSize(), c.size) << c.file;
            EXPECT_EQ(background(preview), c.background) << c.file;
        }
        // The picture itself, scaled into the box.
        const QImage shown = control<QLabel>("picNáhled")->pixmap().toImage();
        EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(255, 0, 0));
    });
}

// No text of the dialog is cut off, and the dialog fits a 1024 × 720 screen.
void expectEverythingFits(QWidget& dialog)
{
    dialog.layout()->activate();
    QApplication::processEvents();
    EXPECT_LE(dialog.width(), 1024);
    EXPECT_LE(dialog.height(), 680);  // leaves room for the window's title bar
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isHidden() && !label->text().isEmpty()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
        }
    }
    for (const QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
        if (!button->isHidden()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->text().toStdString();
            EXPECT_GE(button->height(), button->sizeHint().height()) << button->text().toStdString();
        }
    }
    for (const QGroupBox* frame : dialog.findChildren<QGroupBox*>())
        EXPECT_GE(frame->width(), frame->minimumSizeHint().width()) << frame->title().toStdString();
}

TEST_F(NewRaceDialogTest, CaptionsFollowTheLanguage)
{
    writeSettings("[Settings]\r\nTRT=%tracks/Kladivnice.trt\r\n");
    const struct Caption {
        const char* name;
        int index;
        QString czech;
        QString english;
    } captions[] = {
        {"fraHráči", 0, "Hráči...", "Players..."},
        {"txtJméno", 1, "Hráč 1", "Player 1"},
        {"txtJméno", 10, "Hráč 10", "Player 10"},
        {"chkTrajektorie", 0, "nezobrazovat trajektorii", "do not show trajectory"},
        {"fraDráha", 0, "Trať...", "Track..."},
        {"lblPopis", 1, "Definiční soubor tratě", "Track definition file"},
        {"lblPopis", 2, "Název tratě", "Track name"},
        {"lblPopis", 3, "Popis tratě", "Track description"},
        {"lblPopis", 4, "Počet start. pozic", "Start positions"},
        {"lblPopis", 5, "Povolená rychlost", "Allowed speed"},
        {"lblPopis", 6, "Počet kontrol", "Checkpoints"},
        {"lblPopis", 7, "Rekord", "Record"},
        {"cmdZměnit", 0, "&Jiná trať...", "&Other track..."},
        {"cmdRekord", 0, "&Více o rekordu...", "&More about the record..."},
        {"cmdStart", 0, "&Start", "&Start"},
        {"cmdOK", 0, "&Zpět", "&Back"},
        {"cmdKontrola", 0, "&Zkontrolovat", "&Check"},
        {"txtMaxRychlost", 0, "neomezená", "unlimited"},
        {"txtRekord", 0, "není", "none"},
    };
    const auto shown = [this](const Caption& c) {
        QWidget* widget = control(c.name, c.index);
        if (auto* frame = qobject_cast<QGroupBox*>(widget))
            return frame->title();
        if (auto* label = qobject_cast<QLabel*>(widget))
            return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            return button->text();
        if (auto* field = qobject_cast<QLineEdit*>(widget))
            return field->text();
        return QStringLiteral("<no text>");
    };
    open(NewRaceDialog::Mode::NewRace, [&] {
        for (const Caption& c : captions)
            EXPECT_EQ(shown(c), c.czech) << c.name << " " << c.index;
        expectEverythingFits(dialog());

        control<QLineEdit>("txtJméno", 1)->setText("Alena");
        state.languageOffset = state.languageStep;
        dialog().ApplyLanguage();
        for (const Caption& c : captions)
            EXPECT_EQ(shown(c), c.english) << c.name << " " << c.index;
        expectEverythingFits(dialog());
        choose("");
        ASSERT_EQ(chooserCalls.size(), 1u);
        EXPECT_EQ(chooserCalls[0].title, "Load track...");
        EXPECT_EQ(chooserCalls[0].filter, "Track definition files (*.trt)");
    });
    open(NewRaceDialog::Mode::NewRace, [&] { EXPECT_EQ(dialog().windowTitle(), "New race..."); });
    open(NewRaceDialog::Mode::Information, [&] { EXPECT_EQ(dialog().windowTitle(), "Race information..."); });
}

}  // namespace
