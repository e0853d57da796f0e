// Runs every test with one QApplication, headless unless a display is set.
#include <QApplication>
#include <QLocale>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // The test listing that CTest asks for at build time needs no application.
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    std::unique_ptr<QApplication> app;
    if (!listing) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    return RUN_ALL_TESTS();
}
