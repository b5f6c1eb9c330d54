#include "ProbeApp.h"

#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // Numbers in settings and displays use the C conventions whatever the user's locale;
    // QApplication has just switched the C library to the environment's locale.
    std::setlocale(LC_NUMERIC, "C");
    theApp.InitInstance();
    return 0;
}
