#include "window_class_name.h"

#include <gtest/gtest.h>

namespace {

struct NameCase {
    std::string product;
    std::wstring before;
    std::wstring expected;
};

class WindowClassName : public testing::TestWithParam<NameCase> {};

TEST_P(WindowClassName, FollowsTheProduct) {
    std::wstring name = GetParam().before;
    buildWindowClassName(GetParam().product, name);
    EXPECT_EQ(GetParam().expected, name);
}

INSTANTIATE_TEST_SUITE_P(
    Products, WindowClassName,
    testing::Values(NameCase{"abc", L"old", L"STAGEENGINE.ABC"},
                    NameCase{"quorvelmeet", L"", L"STAGEENGINE.QUORVELMEET"},
                    NameCase{"a-b_c.9", L"", L"STAGEENGINE.A-B_C.9"},
                    // Only ASCII letters change case: an A with diaeresis in UTF-8 stays.
                    NameCase{"\xC3\xA4" "bc", L"", L"STAGEENGINE.\u00E4BC"},
                    NameCase{"", L"kept", L"kept"},
                    // 243 bytes fit with the prefix into 255 units; one more does not.
                    NameCase{std::string(243, 'x'), L"", L"STAGEENGINE." + std::wstring(243, L'X')},
                    NameCase{std::string(244, 'x'), L"old", L""}));

}  // namespace
