#pragma once
#include <QApplication>

#include <cstdlib>

// The one QApplication of a test program, made on first use, on the
// offscreen platform unless the caller chose another, so window tests run
// without a display. It lives until the process ends.
inline QApplication& TestApplication() {
    static QApplication* application = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "kandor-tests";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    return *application;
}
