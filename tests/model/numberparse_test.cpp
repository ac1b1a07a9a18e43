#include "model/numberparse.h"

#include <gtest/gtest.h>

namespace velmora::model {
namespace {

// Typed text counts only whole; the comma is a decimal point only when given.
TEST(NumberParseStrict, TakesWholeNumbersOnly) {
    constexpr std::optional<double> no;
    const struct {
        const char* text;
        char separator;
        std::optional<double> real;
    } cases[] = {{"  +42 \t", '.', 42.0}, {"2,5", '.', no},  {"2,5", ',', 2.5}, {"2.5", ',', 2.5},
                 {"1.000,5", ',', no},    {"-3", '.', -3.0}, {"abc", '.', no},  {"", '.', no},
                 {"12abc", '.', no},      {"+-5", '.', no},  {"inf", '.', no},  {"1e400", '.', no}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseDoubleStrict(c.text, c.separator), c.real) << '"' << c.text << '"';
    for (const char* text : {"2.5", "-3", "abc", "", "12abc", "+-5"})
        EXPECT_EQ(ParseUnsignedStrict(text), std::nullopt) << text;
    EXPECT_EQ(ParseRealStrict("1e39"), std::nullopt);  // beyond single precision
}

}  // namespace
}  // namespace velmora::model
