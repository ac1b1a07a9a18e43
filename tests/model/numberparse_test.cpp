#include "model/numberparse.h"

#include <gtest/gtest.h>

namespace velmora::model {
namespace {

// Typed text is taken only when all of it is the number: a typo is refused,
// never read as 0 or as its leading digits; the comma counts as the decimal
// point only when it is the separator given (the German interface).
TEST(NumberParseStrict, TakesWholeNumbersOnly) {
    struct Case {
        const char* text;
        char separator;
        std::optional<double> real;
        std::optional<std::uint32_t> whole;
    };
    const Case cases[] = {
        {"  +42 \t", '.', 42.0, 42u},      {"2.5", '.', 2.5, std::nullopt},
        {"2,5", '.', std::nullopt, {}},    {"2,5", ',', 2.5, {}},
        {"2.5", ',', 2.5, {}},             {"1.000,5", ',', std::nullopt, {}},
        {"-3", '.', -3.0, std::nullopt},   {"abc", '.', std::nullopt, std::nullopt},
        {"", '.', std::nullopt, {}},       {"12abc", '.', std::nullopt, std::nullopt},
        {"+-5", '.', std::nullopt, {}},    {"inf", '.', std::nullopt, {}},
        {"1e400", '.', std::nullopt, {}},  {"99999999999", '.', 99999999999.0, UINT32_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseDoubleStrict(c.text, c.separator), c.real) << '"' << c.text << '"';
        if (c.separator == '.') {
            EXPECT_EQ(ParseUnsignedStrict(c.text), c.whole) << c.text;
        }
    }
    EXPECT_EQ(ParseRealStrict("1e39"), std::nullopt);  // beyond single precision
    EXPECT_EQ(ParseDouble("2,5"), 2.0);                // files keep the lenient point
}

}  // namespace
}  // namespace velmora::model
