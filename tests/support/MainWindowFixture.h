#pragma once

#include "race/RaceState.h"
#include "shell/SoundPlayer.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MoveInput.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

// Message boxes answered from a script; every box asked for is recorded.
struct ScriptedMessageBoxes {
    struct Box {
        QString prompt;
        int style = 0;
        QString title;
    };
    std::vector<Box> shown;
    std::deque<int> answers;  // taken in order; when empty, the answer is OK/Yes (6 for Yes/No styles)

    MessageBoxFunction function()
    {
        return [this](const QString& prompt, int style, const QString& title) {
            shown.push_back({prompt, style, title});
            if (!answers.empty()) {
                const int answer = answers.front();
                answers.pop_front();
                return answer;
            }
            return (style & 7) == 4 ? 6 : 1;
        };
    }
};

// Sounds are recorded instead of played.
struct RecordingSoundOutput : SoundOutput {
    QStringList played;
    void play(const QString& path) override { played << path; }
};

// The mouse pointer as the tests place it; every placing by the program is recorded.
struct ScriptedPointer : PointerDevice {
    QPoint at;
    std::vector<QPoint> placed;
    QPoint position() const override { return at; }
    void setPosition(QPoint screen) override
    {
        at = screen;
        placed.push_back(screen);
    }
};

// A program directory of its own (the data folder too unless one is set), a race state and the main window built over them.
class MainWindowFixture {
public:
    MainWindowFixture() { EXPECT_TRUE(dir.isValid()); }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const
    {
        QFile file(path(name));
        const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        EXPECT_TRUE(written) << qPrintable(name);
    }
    QByteArray readFile(const QString& name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    MainWindow& start()
    {
        MainWindowServices services{dir.path(), dataDirectory, sounds, boxes.function(), [this] { ++programEnds; }, pointer, {}, {}, {}};
        services.chooseTrackFile = chooseTrackFile;
        services.chooseColor = chooseColor;
        // No test opens a document for real: the request is only noted.
        services.openDocument = [this](const QString& path) {
            documentsOpened << path;
            return true;
        };
        window = std::make_unique<MainWindow>(state, services);
        return *window;
    }

    // The menu entry of the given control name (and index, for control arrays).
    QAction* item(const char* name, int index = -1) const
    {
        const auto actions = window->findChildren<QAction*>(QString::fromUtf8(name));
        for (QAction* action : actions)
            if (index < 0 || action->property("Index").toInt() == index)
                return action;
        return nullptr;
    }

    QTemporaryDir dir;
    QString dataDirectory;  // empty: the program directory dir
    RaceState state;
    ScriptedMessageBoxes boxes;
    std::shared_ptr<RecordingSoundOutput> sounds = std::make_shared<RecordingSoundOutput>();
    std::shared_ptr<ScriptedPointer> pointer = std::make_shared<ScriptedPointer>();
    decltype(MainWindowServices::chooseTrackFile) chooseTrackFile;
    decltype(MainWindowServices::chooseColor) chooseColor;
    QStringList documentsOpened;
    std::unique_ptr<MainWindow> window;
    int programEnds = 0;
};
