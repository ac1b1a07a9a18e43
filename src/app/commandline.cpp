#include "app/commandline.h"

namespace velmora::app {

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine result;
    result.arguments = arguments;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--demo")) {
            result.demo = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            result.help = true;
        } else if (argument == QLatin1String("--device")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                result.error = QStringLiteral("--device needs a device path");
                return result;
            }
            result.device = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--device="))) {
            result.device = argument.mid(9);
            if (result.device.isEmpty()) {
                result.error = QStringLiteral("--device needs a device path");
                return result;
            }
        } else {
            result.error = QStringLiteral("unknown argument: ") + argument;
            return result;
        }
    }
    if (result.demo && !result.device.isEmpty()) {
        result.error = QStringLiteral("--demo and --device exclude each other");
    }
    return result;
}

QString UsageText() {
    return QStringLiteral(
        "Usage: velmora-tool [--demo | --device PATH]\n"
        "Service and operating tool for the Velmora drive controller.\n"
        "\n"
        "  --demo         run against a simulated drive inside this program\n"
        "  --device PATH  use this serial device for this run; config.ini keeps\n"
        "                 its port setting\n"
        "  --help         show this text\n"
        "  --version      show the version\n"
        "\n"
        "The program keeps config.ini and finds data_language and data_runin in\n"
        "the current directory.\n");
}

}  // namespace velmora::app
