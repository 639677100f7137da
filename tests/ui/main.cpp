// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests' runner: one QApplication for every test, on the offscreen platform unless the
// environment chose another (Wine passes no QT_ variable on to a Windows program). On Windows the
// offscreen platform draws with FreeType from one font folder: the system's, as on screen.

#include <QApplication>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <cstdlib>
#endif

int main(int argc, char* argv[]) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#ifdef _WIN32
    if (!qEnvironmentVariableIsSet("QT_QPA_FONTDIR")) {
        if (const char* windows = std::getenv("WINDIR")) {
            qputenv("QT_QPA_FONTDIR", QByteArray(windows) + "\\Fonts");
        }
    }
#endif
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
