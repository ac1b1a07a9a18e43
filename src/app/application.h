#pragma once
// The whole run of velmora-tool after the arguments were read.
#include <QStringList>

#include "app/commandline.h"

class QApplication;

namespace velmora::app {

// Opens the main window, runs until it closes and, after a language change,
// starts the program again. Returns the process exit code.
int RunTool(QApplication& application, const CommandLine& commandLine);

// Starts the own executable again with the same arguments (through the
// prompter, so tests see it instead of a new process).
void RestartIfRequested(bool requested, const QStringList& arguments);

}  // namespace velmora::app
