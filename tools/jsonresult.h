#pragma once
// --json: exactly one result object on standard output per invocation. The
// commands write their objects to a stream on this buffer: a line with an
// "event" key (monitor events, progress) goes out at once, every other object
// is merged into the one result (a failure after a result turns it into
// ok:false), and any other text goes to standard error. finish() prints the
// result with its exit status and the schema version.
#include <nlohmann/json.hpp>
#include <ostream>
#include <streambuf>
#include <string>

namespace velmora::tools {

// Raised when a key changes meaning or type; new keys keep the number.
inline constexpr int kJsonSchema = 1;

class JsonResult final : public std::streambuf {
  public:
    JsonResult(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}
    // Prints the one object; call once, after the command has ended.
    void finish(int status);

  protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

  private:
    void line(const std::string& text);
    void merge(const nlohmann::json& object);

    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_pending;
    nlohmann::json m_result = nlohmann::json::object();
};

}  // namespace velmora::tools
