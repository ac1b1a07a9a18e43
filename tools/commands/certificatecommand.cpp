// velmora-cli certificate show FILE [--html OUT]: a run-in certificate read
// back, its digest checked, optionally as a printable page.
#include <fstream>
#include <iterator>

#include "commandkit.h"
#include "platform/profile.h"
#include "runinreport.h"

namespace velmora::tools {
namespace {

std::string Text(const nlohmann::json& value) {
    return value.is_string() ? value.get<std::string>() : value.dump();
}

int RunCertificate(const Invocation& invocation, CliContext& context) {
    Output output(invocation, context);
    const auto& words = invocation.arguments;
    if (words.size() != 2 || words[0] != "show")
        return UsageError(output, invocation, "wants show FILE");
    std::ifstream in(words[1], std::ios::binary);
    if (!in) return output.fail(kExitFailure, words[1] + " cannot be read");
    const auto certificate =
        nlohmann::json::parse(std::istreambuf_iterator<char>(in), {}, nullptr, false);
    if (!certificate.is_object() || !certificate.contains("digest"))
        return output.fail(kExitFailure, words[1] + " is no run-in certificate");
    const std::string stated = certificate["digest"].value("value", "");
    const bool valid = !stated.empty() && stated == CertificateDigest(certificate);
    if (!invocation.html.empty()) {
        std::string error;
        if (!platform::WriteFileAtomically(invocation.html, CertificateHtml(certificate, valid),
                                           &error))
            return output.fail(kExitFailure, "cannot write " + invocation.html + ": " + error);
    }
    const auto drive = certificate.value("drive", nlohmann::json::object());
    output.emit({{"ok", valid},
                 {"digest_valid", valid},
                 {"result", certificate.value("result", "")},
                 {"serial", drive.value("serial", nlohmann::json())},
                 {"failures", certificate.value("failures", nlohmann::json::array())}});
    std::string text = "serial    " + Text(drive.value("serial", nlohmann::json())) +
                       "\nprogram   " +
                       Text(certificate.value("program", nlohmann::json::object())
                                .value("name", nlohmann::json())) +
                       "\nstart     " + Text(certificate.value("start", nlohmann::json())) +
                       "\nend       " + Text(certificate.value("end", nlohmann::json())) +
                       "\nresult    " + Text(certificate.value("result", nlohmann::json())) +
                       "\ndigest    " + (valid ? "valid" : "INVALID: the certificate was changed");
    if (certificate.contains("accelerated_tick_ms"))
        text += "\nwarning   accelerated test run (" + Text(certificate["accelerated_tick_ms"]) +
                " ms per second)";
    for (const auto& reason : certificate.value("failures", nlohmann::json::array()))
        text += "\n  " + Text(reason);
    output.note(text);
    return valid ? kExitOk : kExitFailure;
}

}  // namespace

Command CertificateCommand() {
    return {"certificate", "certificate show FILE [--html OUT]",
            "  Prints a run-in certificate written by runin --report and checks its\n"
            "  SHA-256 digest: a certificate changed after it was written fails. With\n"
            "  --html writes a printable page with the step table and a speed and current\n"
            "  plot. Exit 0 digest valid, 1 changed or unreadable.\n",
            RunCertificate};
}

}  // namespace velmora::tools
