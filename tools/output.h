#pragma once
// Where a command's words go: texts for people on standard output, or on
// standard error when --json keeps standard output for one JSON object.
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "cli.h"

namespace velmora::tools {

// "velmora-cli: message" on err and, with json, {"ok": false, "exit": code,
// "error": message} on out; returns code. Every command fails this way.
int PrintFailure(std::ostream& out, std::ostream& err, bool json, int code,
                 const std::string& message);

class Output {
  public:
    Output(const Invocation& invocation, CliContext& context)
        : m_json(invocation.json), m_context(context) {}

    [[nodiscard]] bool json() const { return m_json; }
    // Texts for people.
    [[nodiscard]] std::ostream& text() { return m_json ? m_context.err : m_context.out; }
    // One JSON object on one line of standard output (only with --json).
    void emit(const nlohmann::json& object);
    // Prints "velmora-cli: message" on standard error and, with --json, an
    // object {"ok": false, "exit": code, "error": message}; returns code.
    int fail(int code, const std::string& message);
    // A line for people about a step of the work; not printed with --json.
    void note(const std::string& message);

  private:
    bool m_json;
    CliContext& m_context;
};

}  // namespace velmora::tools
