#include "shell/LanguageState.h"
#include "tests/support/NextModalDialog.h"
#include "ui/dialogs/AboutDialog.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

LanguageState languageNumber(int language)
{
    LanguageState state;
    ReadLanguageLayout(state);
    state.languageOffset = (language - 1) * state.languageStep;
    return state;
}

QString textOf(const AboutDialog& box, const char* name)
{
    if (const auto* label = box.findChild<QLabel*>(QString::fromUtf8(name)))
        return label->text();
    if (const auto* button = box.findChild<QPushButton*>(QString::fromUtf8(name)))
        return button->text();
    ADD_FAILURE() << "no control " << name;
    return {};
}

TEST(AboutDialog, CaptionsFollowTheLanguage)
{
    QTemporaryDir dir;
    struct Expected {
        int language;
        const char* caption;
        const char* title;
        const char* version;
        const char* button;
        const char* authorsStart;
    };
    for (const Expected& e : {Expected{1, "O programu...", "Trasovky - Kladivnice Cup", "Verze 1.0", "&Zpět", "Napsali"},
                              Expected{2, "About...", "Trasovky - Kladivnice Cup", "Version 1.0", "&Back", "Written by"}}) {
        SCOPED_TRACE(e.language);
        const LanguageState language = languageNumber(e.language);
        AboutDialog box(language, dir.path());
        EXPECT_EQ(box.windowTitle(), QString::fromUtf8(e.caption));
        EXPECT_EQ(textOf(box, "lblNázev"), QString::fromUtf8(e.title));
        EXPECT_EQ(textOf(box, "lblVerze"), QString::fromUtf8(e.version));
        EXPECT_EQ(textOf(box, "cmdOK"), QString::fromUtf8(e.button));
        EXPECT_TRUE(textOf(box, "lblAutoři").startsWith(QString::fromUtf8(e.authorsStart)));
    }
}

TEST(AboutDialog, ApplyLanguageChangesTheCaptionsOfAnOpenBox)
{
    QTemporaryDir dir;
    LanguageState language = languageNumber(1);
    AboutDialog box(language, dir.path());
    language.languageOffset = language.languageStep;
    box.ApplyLanguage();
    EXPECT_EQ(box.windowTitle(), QStringLiteral("About..."));
    EXPECT_EQ(textOf(box, "cmdOK"), QStringLiteral("&Back"));
}

TEST(AboutDialog, ShowsTheLogoScaledDownOrTheWindowIcon)
{
    QTemporaryDir withLogo;
    QImage logo(640, 400, QImage::Format_RGB32);
    logo.fill(Qt::darkGreen);
    ASSERT_TRUE(logo.save(QDir(withLogo.path()).filePath(QStringLiteral("Logo.bmp"))));
    QTemporaryDir smallLogo;
    QImage small(100, 60, QImage::Format_RGB32);
    small.fill(Qt::blue);
    ASSERT_TRUE(small.save(QDir(smallLogo.path()).filePath(QStringLiteral("Logo.bmp"))));
    QTemporaryDir withoutLogo;
    const LanguageState language = languageNumber(1);
    struct Case {
        QString directory;
        QSize picture;
    };
    for (const Case& c : {Case{withLogo.path(), QSize(256, 160)}, Case{smallLogo.path(), QSize(100, 60)},
                          Case{withoutLogo.path(), QSize(32, 32)}}) {
        AboutDialog box(language, c.directory);
        const QLabel* picture = box.findChild<QLabel*>(QStringLiteral("imgAbout"));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->pixmap().size(), c.picture) << qPrintable(c.directory);
        const QLabel* icon = box.findChild<QLabel*>(QStringLiteral("picIcon"));
        ASSERT_NE(icon, nullptr);
        EXPECT_FALSE(icon->pixmap().isNull());
    }
}

// Opens the box modally and runs the action inside its loop; the box must close by itself.
bool closesBy(const std::function<void(QWidget* box)>& action)
{
    QTemporaryDir dir;
    const LanguageState language = languageNumber(1);
    AboutDialog box(language, dir.path());
    bool acted = false;
    NextModalDialog next([&](QWidget* open) {
        EXPECT_EQ(open, &box);
        acted = true;
        action(open);
    });
    box.showModal();
    return acted && box.isHidden() && box.result() == QDialog::Accepted;
}

TEST(AboutDialog, ClosesOnAClickOnTheBoxOrAnyOfItsParts)
{
    for (const char* name : {"", "picIcon", "lblNázev", "lblVerze", "lblAutoři", "imgAbout", "cmdOK"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(closesBy([name](QWidget* box) {
            QWidget* target = *name ? box->findChild<QWidget*>(QString::fromUtf8(name)) : box;
            ASSERT_NE(target, nullptr);
            // The box itself is clicked in its corner, outside every control.
            const QPoint at = *name ? target->rect().center() : QPoint(3, 3);
            if (target == box) {
                EXPECT_EQ(box->childAt(at), nullptr) << "the corner of the box is free";
            }
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, at);
        }));
    }
}

TEST(AboutDialog, ClosesOnAnyKey)
{
    for (Qt::Key key : {Qt::Key_A, Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space, Qt::Key_Tab, Qt::Key_F1}) {
        SCOPED_TRACE(key);
        EXPECT_TRUE(closesBy([key](QWidget* box) {
            QWidget* focused = box->focusWidget() ? box->focusWidget() : box;
            QTest::keyClick(focused, key);
        }));
    }
}

TEST(AboutDialog, ARightClickOrAPressAloneLeavesItOpen)
{
    QTemporaryDir dir;
    const LanguageState language = languageNumber(1);
    AboutDialog box(language, dir.path());
    box.show();
    QWidget* title = box.findChild<QWidget*>(QStringLiteral("lblNázev"));
    ASSERT_NE(title, nullptr);
    QTest::mouseClick(title, Qt::RightButton);
    QTest::mousePress(title, Qt::LeftButton);
    EXPECT_TRUE(box.isVisible());
    QTest::mouseRelease(title, Qt::LeftButton);
    EXPECT_FALSE(box.isVisible());
}

}  // namespace
