#include <gtest/gtest.h>

#include "platform/val.hpp"

using plat::val;

TEST(Val, ClassicWholeNumberRules) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"-123", true, -123},        {" 123", true, 123},    {"+7", true, 7},
        {"$1aF", true, 0x1AF},       {"12 3", false, 0},     {"1a", false, 0},
        {"", false, 0},              {"$", false, 0},        {"99999999999", false, 0},
        {"2147483647", true, 2147483647}, {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},    {"-", false, 0},        {"12 ", false, 0},
        {"0007", true, 7},
    };
    for (const Case& c : cases) {
        auto r = val(c.text);
        EXPECT_EQ(r.ok, c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(r.value, c.value) << '"' << c.text << '"';
        }
    }
}
