#include "tests/support/MainWindowFixture.h"

#include "shell/SoundPlayer.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

TEST(Sounds, EveryEventNumberHasItsFile)
{
    const char* files[] = {"start.wav", "tah.wav", "kolize1.wav", "kolize2.wav", "kolize2.wav",
                           "kolize3.wav", "diskval.wav", "cil.wav", "rekord.wav", "vysledky.wav"};
    for (unsigned number = 0; number < 10; ++number)
        EXPECT_EQ(soundFileName(number), QString::fromLatin1(files[number])) << number;
    for (unsigned number : {10u, 11u, 255u, 1000u})
        EXPECT_EQ(soundFileName(number), std::nullopt) << number;
}

TEST(Sounds, MainWindowPlaysFromItsDirectoryWhileSoundsAreOn)
{
    MainWindowFixture f;
    MainWindow& window = f.start();
    window.PlaySound(3);
    window.PlaySound(4);
    window.PlaySound(10);
    window.PlaySound(255);
    const QString kolize2 = QDir(f.dir.path()).filePath(QStringLiteral("kolize2.wav"));
    EXPECT_EQ(f.sounds->played, (QStringList{kolize2, kolize2}));

    f.item("mnuZvuky")->trigger();  // sounds off
    f.sounds->played.clear();
    for (unsigned number = 0; number <= 255; ++number)
        window.PlaySound(number);
    EXPECT_TRUE(f.sounds->played.isEmpty());
}

// The real output with the program's own sound files: a new sound replaces the one playing, a
// missing file plays nothing, and nothing waits for a sound to end (there may be no audio device).
TEST(Sounds, RealOutputPlaysOneAfterAnotherWithoutWaiting)
{
    const QDir program(QStringLiteral(TRASOVKY_PROGRAM_DIR));
    ASSERT_TRUE(program.exists(QStringLiteral("cil.wav")));
    SoundEffectOutput output;
    PlaySound(output, program.path(), true, 7);
    PlaySound(output, program.path(), true, 9);
    output.play(program.filePath(QStringLiteral("missing.wav")));
    output.play(program.filePath(QStringLiteral("tah.wav")));
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}
