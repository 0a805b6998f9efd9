// The one rule for names that must stay inside their folder.
#include "plain_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NameCase {
    std::string name;
    bool plain;
};

class PlainFileName : public testing::TestWithParam<NameCase> {};

TEST_P(PlainFileName, IsOnePathComponentAndNothingMore) {
    EXPECT_EQ(GetParam().plain, isPlainFileName(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(
    Names, PlainFileName,
    testing::Values(NameCase{"qo.dll", true}, NameCase{".dll", true}, NameCase{"..a", true}, NameCase{"a..", true},
                    NameCase{"a b", true}, NameCase{"\xC3\x9Cn\xC3\xAF", true}, NameCase{"a\x7F", true},
                    NameCase{"", false}, NameCase{".", false}, NameCase{"..", false}, NameCase{"a\\b", false},
                    NameCase{"a/b", false}, NameCase{"C:x", false}, NameCase{"a*", false}, NameCase{"a?", false},
                    NameCase{"a\"b", false}, NameCase{"<a", false}, NameCase{"a>", false}, NameCase{"a|b", false},
                    NameCase{"a\tb", false}, NameCase{"a\rb", false}, NameCase{std::string("a\0b", 3), false},
                    NameCase{"\x1F", false}),
    [](const testing::TestParamInfo<NameCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
