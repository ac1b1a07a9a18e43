#include "jsonresult.h"

#include "cli.h"

namespace velmora::tools {
namespace {

std::string Dump(const nlohmann::json& object) {
    // Replace invalid UTF-8 (a file name) rather than throw half-way through.
    return object.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace

JsonResult::int_type JsonResult::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char ch = traits_type::to_char_type(c);
    xsputn(&ch, 1);
    return c;
}

std::streamsize JsonResult::xsputn(const char* text, std::streamsize count) {
    m_pending.append(text, static_cast<std::size_t>(count));
    for (auto nl = m_pending.find('\n'); nl != std::string::npos; nl = m_pending.find('\n')) {
        const std::string one = m_pending.substr(0, nl);
        m_pending.erase(0, nl + 1);
        line(one);
    }
    return count;
}

void JsonResult::line(const std::string& text) {
    const auto object = nlohmann::json::parse(text, nullptr, false);
    if (!object.is_object()) {
        if (!text.empty()) m_err << text << '\n' << std::flush;
    } else if (object.contains("event")) {
        m_out << text << '\n' << std::flush;
    } else {
        merge(object);
    }
}

void JsonResult::merge(const nlohmann::json& object) {
    const bool failed = object.contains("ok") && object["ok"] == false;
    for (const auto& [key, value] : object.items())
        if (!m_result.contains(key)) m_result[key] = value;
    if (!failed) return;
    m_result["ok"] = false;
    if (object.contains("exit")) m_result["exit"] = object["exit"];
    if (!object.contains("error")) return;
    // Every reason stays: the result's own and the failure that came after it.
    const std::string earlier = m_result.value("error", std::string());
    const std::string later = object["error"].get<std::string>();
    if (earlier != later && !earlier.empty()) m_result["error"] = earlier + "; " + later;
}

void JsonResult::finish(int status) {
    if (!m_pending.empty()) line(std::exchange(m_pending, {}));
    nlohmann::json result = m_result;
    if (!result.contains("ok")) result["ok"] = status == kExitOk;
    if (status != kExitOk && status != kExitDiffers) {
        result["ok"] = false;
        if (!result.contains("error"))
            result["error"] = "failed with exit status " + std::to_string(status);
    }
    result["exit"] = status;
    result["schema"] = kJsonSchema;
    m_out << Dump(result) << '\n' << std::flush;
}

}  // namespace velmora::tools
