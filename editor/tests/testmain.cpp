// Test entry of the sample editor: the application its libraries need (offscreen where it has a
// GUI), the desktop's clipboard as the program installs it, Qt's test paths, and a temporary
// XDG_CONFIG_HOME so no test can touch a real user's settings or presets.

#include "platform/qtclipboardaccess.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

// The application object the test's own libraries need: a test links only the Qt modules it uses,
// and only those modules' headers are on its include path.
#if __has_include(<QApplication>)
#include <QApplication>
using TestApplication = QApplication;
#elif __has_include(<QGuiApplication>)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    TestApplication app(argc, argv);
    CQtClipboardAccess clipboard;
    CClipboardAccess::Install(&clipboard);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CClipboardAccess::Install(nullptr);
#ifndef __SANITIZE_ADDRESS__
    // Freeing Qt Multimedia's PulseAudio connection at exit now and then aborts inside PulseAudio
    // ("Assertion 'm->io_events_please_scan == 0' failed" in its main loop's cleanup), after every
    // test has passed. The verdict is in, so the run ends here, without the library's static
    // destructors. Sanitized runs end the normal way, for the leak check that runs at exit.
    home.remove();
    std::fflush(nullptr);
    std::_Exit(result);
#endif
    return result;
}
