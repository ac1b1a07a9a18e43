#pragma once
// The whole run of velmora-tool after the arguments were read.
#include <QStringList>
#include <filesystem>

#include "app/commandline.h"

class QApplication;

namespace velmora::app {

// Opens the main window, runs until it closes and, after a language change,
// starts the program again. Returns the process exit code.
int RunTool(QApplication& application, const CommandLine& commandLine);

// Where this run keeps its journal. The demonstration's simulated drive keeps
// one of its own beside the user's: the journal of real drives, which the
// history and the certificates rely on, holds only real drives.
[[nodiscard]] std::filesystem::path JournalPathFor(const CommandLine& commandLine);

// Starts the own executable again with the same arguments (through the
// prompter, so tests see it instead of a new process).
void RestartIfRequested(bool requested, const QStringList& arguments);

}  // namespace velmora::app
