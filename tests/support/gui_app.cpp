#include "support/gui_app.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace arbor::test {

void ensureGuiApp() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "arbor-tests";
    static char* argv[] = {name, nullptr};
    // Deliberately never destroyed: tests in any order may still need it.
    new QGuiApplication(argc, argv);
}

}  // namespace arbor::test
