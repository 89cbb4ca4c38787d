// Window tests run real widgets on Qt's offscreen platform unless the caller chose another.
#include <QApplication>

#include <gtest/gtest.h>

#include "ui/fonts.h"

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    circles::InstallFaceSubstitutes();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
