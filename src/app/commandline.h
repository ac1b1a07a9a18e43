#pragma once
// The options of velmora-tool.
#include <QString>
#include <QStringList>

namespace velmora::app {

struct CommandLine {
    bool demo = false;      // --demo: the simulated drive, in this process
    QString device;         // --device PATH: this device for this run only
    bool help = false;      // --help
    QString error;          // not empty when the arguments make no sense
    QStringList arguments;  // as given, for a restart with the same ones
};

// arguments without the program name.
[[nodiscard]] CommandLine ParseCommandLine(const QStringList& arguments);
[[nodiscard]] QString UsageText();

}  // namespace velmora::app
