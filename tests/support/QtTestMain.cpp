// main() for test programs that need widgets: one QApplication on the offscreen platform
// for all tests, with the C library's numeric locale kept at "C" as the program keeps it.
#include <QApplication>
#include <clocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Test programs never need a display, also when CTest lists their tests.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
