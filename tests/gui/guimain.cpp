// Window tests run offscreen against a private profile and runtime directory.
#include "core/app/settingkeys.h"
#include "gui/app/localisation.h"
#include "gui/widgets/icons.h"
#include "gui/widgets/skinstyle.h"
#include "tests/gui/guitest.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

void resetSettings() {
    QSettings profile(QString::fromUtf8(APPLICATION_NAME), QString::fromUtf8(APPLICATION_NAME));
    profile.clear();
}

int main(int argc, char** argv) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + QStringLiteral("/runtime")).toUtf8());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initWindowResources();
    // As the program runs: Qt's texts in Chinese, and the program's own look unless
    // MINGZHANG_STYLE=plain asks for the desktop's (the whole suite runs once each way).
    useChineseInterface();
    requestSkin();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
