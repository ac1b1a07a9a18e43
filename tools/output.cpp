#include "output.h"

namespace velmora::tools {

void Output::emit(const nlohmann::json& object) {
    if (!m_json) return;
    // Replace invalid UTF-8 (a file name) rather than throw half-way through.
    m_context.out << object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n'
                  << std::flush;
}

int PrintFailure(std::ostream& out, std::ostream& err, bool json, int code,
                 const std::string& message) {
    err << "velmora-cli: " << message << '\n' << std::flush;
    if (json) {
        out << nlohmann::json{{"ok", false}, {"exit", code}, {"error", message}}.dump(
                   -1, ' ', false, nlohmann::json::error_handler_t::replace)
            << '\n'
            << std::flush;
    }
    return code;
}

int Output::fail(int code, const std::string& message) {
    return PrintFailure(m_context.out, m_context.err, m_json, code, message);
}

void Output::note(const std::string& message) {
    if (!m_json) m_context.out << message << '\n' << std::flush;
}

}  // namespace velmora::tools
