#include "bidi/capi/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, EveryMalformedByteBecomesOneReplacementCharacter) {
    const std::string r = "\xef\xbf\xbd";
    const struct {
        std::string in, out;
    } cases[] = {
        {"KPM735-\xc3\xa9\xe2\x82\xac\xf0\x9f\x96\xa8",
         "KPM735-\xc3\xa9\xe2\x82\xac\xf0\x9f\x96\xa8"},
        {"a\x80z", "a" + r + "z"},            // stray continuation byte
        {"\xc3", r},                          // cut at the end
        {"\xe2\x82z", r + r + "z"},           // cut before another character
        {"\xc0\xaf", r + r},                  // overlong '/'
        {"\xed\xa0\x80", r + r + r},          // a surrogate
        {"\xf4\x90\x80\x80", r + r + r + r},  // above U+10FFFF
        {"\xff\xfe", r + r},                  // never in UTF-8
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KpBidi::ValidUtf8(c.in), c.out) << c.in;
    }
}

}  // namespace
