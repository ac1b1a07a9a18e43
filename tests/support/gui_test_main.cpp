// Entry point of the GUI test binaries: one QApplication on the offscreen
// platform (also while ctest lists the tests at build time, without a display).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <clocale>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without it Qt warns on stderr, which would garble the test list ctest reads.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray runtime = "/tmp/runtime-" + QByteArray::number(::getuid());
        ::mkdir(runtime.constData(), 0700);
        qputenv("XDG_RUNTIME_DIR", runtime);
    }
    // Tests find the repository's data and the build's programs through these.
    if (qEnvironmentVariableIsEmpty("VELMORA_SOURCE_DIR"))
        qputenv("VELMORA_SOURCE_DIR", VELMORA_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("VELMORA_BINARY_DIR"))
        qputenv("VELMORA_BINARY_DIR", VELMORA_BINARY_DIR);
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");  // as the program does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
