#pragma once

#include <QCoreApplication>

// The one application object of a core test program, made by the first test that needs an event
// loop, socket notifiers or translators.
inline QCoreApplication& EnsureApplication() {
    static int argc = 1;
    static char name[] = "orvan_core_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr)
        static QCoreApplication application(argc, argv);
    return *QCoreApplication::instance();
}
