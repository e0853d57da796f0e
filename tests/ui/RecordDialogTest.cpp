// The record dialog: taking down a new record, refusing "|", a record that cannot be written,
// and showing the stored one.

#include "files/RecordFile.h"
#include "race/RaceState.h"
#include "shell/MessageBoxStyle.h"
#include "shell/NumberFormat.h"
#include "tests/support/NextModalDialog.h"
#include "tests/support/RecordingGameWindow.h"
#include "ui/dialogs/RecordDialog.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct FakeRecordHost : RecordDialogHost {
    RecordingGameWindow window;
    bool rideCanBeShown = true;
    int ridesShown = 0;
    PlayerPrompts& prompts() override { return window; }
    bool canShowRecordRide() const override { return rideCanBeShown; }
    void showRecordRide() override { ++ridesShown; }
};

// A race just ended on a track in a folder of its own: player 1 won in 2.5 moves over three points.
class RecordDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ReadLanguageLayout(state);
        state.trackPicturePath = dir.filePath("okruh.wmf");
        PlayerRecord& winner = state.player(1);
        winner.color = colorValue(255, 0, 0);
        winner.segmentStarts = {TrackPoint{}, TrackPoint{10, 20}, TrackPoint{13, 24}};
        winner.segmentLines = {0, 2, 3};
        winner.posX = 19;
        winner.posY = 30;
        state.newRecordPlayer = 1;
        state.newRecordMoves = 2.5;
    }

    QString recordPath() const { return dir.filePath("okruh.rek"); }

    // Opens the dialog for a new record with the given name and date, and runs act in it.
    void openNew(const QString& name, const QString& date, const std::function<void(QWidget*)>& act)
    {
        RecordDialog dialog(state, host);
        dialog.setNewRecord(name, date, QStringLiteral("2.500000"));
        const NextModalDialog inDialog(act);
        dialog.OpenRecordDialog(RecordDialog::Mode::NewRecord);
    }

    static void click(QWidget* dialog, const char* button)
    {
        QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromUtf8(button)), Qt::LeftButton);
    }

    QTemporaryDir dir;
    RaceState state;
    FakeRecordHost host;
};

TEST_F(RecordDialogTest, NewRecordIsSavedWithItsComment)
{
    openNew(QStringLiteral("Alena"), QStringLiteral("10. 12. 2026, 14:05"), [](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Nový rekord..."));
        EXPECT_FALSE(dialog->findChild<QPushButton*>(QStringLiteral("cmdZobrazit"))->isVisible());
        EXPECT_FALSE(dialog->findChild<QPushButton*>(QStringLiteral("cmdZpět"))->isVisible());
        dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtKomentář"))->setPlainText(QStringLiteral("Rychlá | jízda"));
        click(dialog, "cmdUložit");
        EXPECT_FALSE(dialog->isVisible());
    });
    EXPECT_EQ(host.window.calls.first(), QStringLiteral("sound 8"));
    RaceState read;
    ReadLanguageLayout(read);
    ASSERT_EQ(readRecordFile(read, recordPath()).error, RecordReadError::None);
    EXPECT_EQ(read.recordHolder, QStringLiteral("Alena"));
    EXPECT_EQ(read.recordDate, QStringLiteral("10. 12. 2026, 14:05"));
    EXPECT_EQ(read.recordMoves, 2.5);
    EXPECT_EQ(read.recordComment, QStringLiteral("Rychlá | jízda"));
    EXPECT_EQ(read.recordRide, (std::vector<TrackPoint>{{}, {10, 20}, {13, 24}, {19, 30}}));
    // Saving does not change the loaded record.
    EXPECT_EQ(state.recordMoves, 0);
}

TEST_F(RecordDialogTest, EmptyNameAndDateStillMakeAValidFile)
{
    openNew(QString(), QString(), [](QWidget* dialog) { click(dialog, "cmdUložit"); });
    QFile file(recordPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> fields = file.readAll().split('|');
    ASSERT_GE(fields.size(), 7);
    EXPECT_EQ(fields[1], QByteArray());
    EXPECT_EQ(fields[2], QByteArray());
    RaceState read;
    EXPECT_EQ(readRecordFile(read, recordPath()).error, RecordReadError::None);
}

TEST_F(RecordDialogTest, BarInNameOrDateIsRefusedAndNothingIsWritten)
{
    for (const auto& [name, date] : {std::pair{"Ale|na", "dnes"}, std::pair{"Alena", "10.|12."}}) {
        host.window.boxes.clear();
        bool stillOpen = false;
        openNew(QString::fromUtf8(name), QString::fromUtf8(date), [&](QWidget* dialog) {
            click(dialog, "cmdUložit");
            stillOpen = dialog->isVisible();
            dialog->close();
        });
        EXPECT_TRUE(stillOpen) << name;
        ASSERT_EQ(host.window.boxes.size(), 1u) << name;
        EXPECT_EQ(host.window.boxes[0].prompt, QStringLiteral("Jméno ani datum nesmí obsahovat znak \"|\"."));
        EXPECT_EQ(host.window.boxes[0].title, QStringLiteral("Chyba!"));
        EXPECT_EQ(host.window.boxes[0].style, StyleCritical);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

TEST_F(RecordDialogTest, RecordThatCannotBeWrittenIsReportedAndTheDialogStaysOpen)
{
    // Where the record file should go stands a folder: the write fails, and what was there stays.
    ASSERT_TRUE(QDir(dir.path()).mkdir("okruh.rek"));
    bool stillOpen = false;
    openNew(QStringLiteral("Alena"), QStringLiteral("dnes"), [&](QWidget* dialog) {
        click(dialog, "cmdUložit");
        stillOpen = dialog->isVisible();
        dialog->close();
    });
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(host.window.boxes.size(), 1u);
    EXPECT_EQ(host.window.boxes[0].prompt, "Rekord se nepodařilo uložit do souboru " + recordPath() + ".");
    EXPECT_TRUE(QFileInfo(recordPath()).isDir());
}

TEST_F(RecordDialogTest, EscKeepsANewRecordAndTheCloseBoxGivesItUp)
{
    bool openAfterEsc = false;
    openNew(QStringLiteral("Alena"), QStringLiteral("dnes"), [&](QWidget* dialog) {
        QTest::keyClick(dialog, Qt::Key_Escape);
        openAfterEsc = dialog->isVisible();
        dialog->close();
    });
    EXPECT_TRUE(openAfterEsc);
    EXPECT_FALSE(QFile::exists(recordPath()));
}

TEST_F(RecordDialogTest, StoredRecordIsShownReadOnlyAndItsRideOnlyFromANewRace)
{
    state.recordHolder = QStringLiteral("Bohouš");
    state.recordDate = QStringLiteral("1. 5. 2026");
    state.recordMoves = 12.25;
    state.recordComment = QStringLiteral("Za deště");
    for (bool fromNewRace : {true, false}) {
        host.rideCanBeShown = fromNewRace;
        host.ridesShown = 0;
        RecordDialog dialog(state, host);
        bool enabled = false;
        const NextModalDialog inDialog([&](QWidget* d) {
            EXPECT_EQ(d->windowTitle(), QStringLiteral("Rekord na trati..."));
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("txtJméno"))->text(), QStringLiteral("Bohouš"));
            EXPECT_EQ(d->findChild<QLineEdit*>(QStringLiteral("txtTahů"))->text(), formatFixed6(12.25, systemDecimalSeparator()));
            EXPECT_TRUE(d->findChild<QLineEdit*>(QStringLiteral("txtDatum"))->isReadOnly());
            EXPECT_FALSE(d->findChild<QPushButton*>(QStringLiteral("cmdUložit"))->isVisible());
            auto* showRide = d->findChild<QPushButton*>(QStringLiteral("cmdZobrazit"));
            enabled = showRide->isEnabled();
            if (enabled)
                click(d, "cmdZobrazit");
            else
                click(d, "cmdZpět");
        });
        dialog.OpenRecordDialog(RecordDialog::Mode::Information);
        EXPECT_EQ(enabled, fromNewRace);
        EXPECT_EQ(host.ridesShown, fromNewRace ? 1 : 0);
    }
}

}  // namespace
