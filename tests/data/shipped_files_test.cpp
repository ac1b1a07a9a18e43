// The shipped templates and run-in programs, read through the program's own
// profile reader and run-in loader rather than the repository's checker.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "model/runinprogram.h"
#include "platform/profile.h"
#include "tests/support/tempfolder.h"

namespace {

namespace fs = std::filesystem;
using velmora::platform::ProfileFile;

// VELMORA_TEST_DATA_DIR lets a check run against a changed copy of the data.
fs::path DataDir() {
    const char* dir = std::getenv("VELMORA_TEST_DATA_DIR");
    return dir ? fs::path(dir) : fs::path(VELMORA_DATA_DIR);
}

// Keys of the section in the order they stand in the text.
std::vector<std::string> KeysInOrder(const std::string& text, const std::string& section) {
    std::vector<std::string> keys;
    std::istringstream lines(text);
    std::string line;
    bool inside = false;
    while (std::getline(lines, line)) {
        if (line.starts_with('[')) {
            inside = line == "[" + section + "]";
        } else if (inside && line.find('=') != std::string::npos && !line.starts_with(';')) {
            keys.push_back(line.substr(0, line.find('=')));
        }
    }
    return keys;
}

struct TemplateCase {
    const char* file;
    const char* section;
    std::vector<std::string> keys;
};

std::vector<std::string> MotorKeys() {
    std::vector<std::string> keys = {"p90",  "p91",  "p92",  "p93", "p94", "p96", "p85", "p86",
                                     "p104", "p105", "p106", "p41", "p42", "p44", "p46", "p47",
                                     "p48",  "p50",  "p51",  "p52", "p53", "p54", "p55", "p56",
                                     "p57",  "p58",  "p70",  "p71", "p72", "p73"};
    for (int n = 77; n <= 84; ++n) keys.push_back("p" + std::to_string(n));
    for (int n = 60; n <= 66; ++n) keys.push_back("p" + std::to_string(n));
    return keys;
}

void PrintTo(const TemplateCase& c, std::ostream* out) {
    *out << c.file;
}

class ShippedTemplate : public ::testing::TestWithParam<TemplateCase> {};

// A template missing a key, or holding one twice, makes saved files differ in
// line order and lets a stale template value survive beside the written one.
TEST_P(ShippedTemplate, HoldsEveryKeyOnceAndSavesInPlace) {
    const TemplateCase& c = GetParam();
    const std::string text = velmora::testkit::Slurp(DataDir() / "templates" / c.file);
    ASSERT_FALSE(text.empty()) << c.file;
    EXPECT_EQ(KeysInOrder(text, c.section), c.keys);

    ProfileFile profile = ProfileFile::parse(text);
    for (const std::string& key : c.keys) {
        EXPECT_NE(profile.getString(c.section, key, "FILE_ERROR"), "FILE_ERROR") << key;
        profile.setString(c.section, key, "7");
    }
    // Saving into a copy of the template changes values, never the layout.
    const std::string saved = profile.text();
    EXPECT_EQ(KeysInOrder(saved, c.section), c.keys);
    EXPECT_EQ(saved.substr(0, saved.find('[')), text.substr(0, text.find('[')));
}

INSTANTIATE_TEST_SUITE_P(
    Templates, ShippedTemplate,
    ::testing::Values(TemplateCase{"MotorMasterfile.vpm", "Velmora Motor", MotorKeys()},
                      TemplateCase{"RemoteMasterfile.vpr",
                                   "Velmora Fernbedienung",
                                   {"p102", "p110", "p111", "p112", "p113", "p114", "p115", "p120",
                                    "p121", "p125", "p129", "p135", "p136", "p137", "p142"}},
                      TemplateCase{"ParaStructMasterfile.txt", "Parameter", {}}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

// A step section the loader stops before (a misspelt key) would silently
// shorten a production run-in.
TEST(ShippedRunIn, EveryProgramLoadsAllItsSteps) {
    const fs::path folder = DataDir() / "data_runin";
    const unsigned count = velmora::model::CountRunInPrograms(folder);
    ASSERT_GE(count, 2u);
    for (unsigned n = 1; n <= count; ++n) {
        const fs::path file = velmora::model::RunInProgramPath(folder, n);
        const std::string text = velmora::testkit::Slurp(file);
        std::size_t sections = 0;
        for (std::size_t at = text.find("\n[step"); at != std::string::npos;
             at = text.find("\n[step", at + 1)) {
            ++sections;
        }
        const auto steps = velmora::model::LoadRunInSteps(file);
        EXPECT_EQ(steps.size(), sections) << file;
        EXPECT_NE(velmora::model::RunInProgramName(file), "FILE_ERROR") << file;
        unsigned minutes = 0;
        for (const auto& step : steps) {
            minutes += step.minutes;
            EXPECT_GT(step.minutes, 0u) << file;
            if (step.rpm != 0) {
                EXPECT_GE(step.rpm / 60, 30u) << file << ": below the lowest drive frequency";
            }
        }
        // The list entry names the program's length; it must be the real one.
        EXPECT_NE(velmora::model::RunInProgramName(file).find(std::to_string(minutes) + " min"),
                  std::string::npos)
            << file;
    }
}

}  // namespace
