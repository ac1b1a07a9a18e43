#include <QApplication>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "app/application.h"
#include "app/commandline.h"

int main(int argc, char** argv) {
    using namespace velmora::app;
    // Answered before Qt starts, so --help and --version work without a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(UsageText().toLocal8Bit().constData(), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::puts("velmora-tool " VELMORA_VERSION);
            return 0;
        }
    }
    QApplication application(argc, argv);
    // Qt takes the C library's locale from the environment; the drive's
    // numbers, the parameter files and the exports always use a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("velmora-tool"));
    // Saved files name the program that wrote them.
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    const CommandLine commandLine = ParseCommandLine(QApplication::arguments().mid(1));
    if (!commandLine.error.isEmpty()) {
        std::fprintf(stderr, "velmora-tool: %s\n\n%s", commandLine.error.toLocal8Bit().constData(),
                     UsageText().toLocal8Bit().constData());
        return 2;
    }
    return RunTool(application, commandLine);
}
