#include "frame/history/timelinecsv.h"

namespace velmora::frame {
namespace {

std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

}  // namespace

std::string TimelineCsv(const std::vector<journal::Entry>& entries) {
    std::string csv = "id,time,kind,serial,parameter,old,new,outcome,program,user,host,port\r\n";
    for (const journal::Entry& entry : entries) {
        const std::string fields[] = {std::to_string(entry.id),
                                      entry.time,
                                      std::string(journal::KindName(entry.kind)),
                                      entry.serial ? std::to_string(*entry.serial) : std::string(),
                                      entry.parameter,
                                      entry.oldValue,
                                      entry.newValue,
                                      entry.outcome,
                                      entry.program,
                                      entry.user,
                                      entry.host,
                                      entry.port};
        for (const std::string& field : fields) csv += (&field == fields ? "" : ",") + Field(field);
        csv += "\r\n";
    }
    return csv;
}

}  // namespace velmora::frame
