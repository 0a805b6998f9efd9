#pragma once
// Reads a record's fields by name as text, so that tables of cases can say
// which fields a parse must have set and to what.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "qm/launch_parameters.h"
#include "window_handle_number.h"

namespace launch_test {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Extras = std::vector<qm::LaunchParameters::Extra>;

inline std::string tripleText(const float (&values)[3]) {
    char text[128];
    std::snprintf(text, sizeof text, "%g,%g,%g", values[0], values[1], values[2]);
    return text;
}

// Unknown names give "?" so that a misspelt name in a table fails the test.
inline std::string fieldText(const qm::LaunchParameters& r, const std::string& name) {
    const qm::PositionTool& pt = r.positionTool;
    if (name == "product") return r.product;
    if (name == "state") return r.state;
    if (name == "language") return r.language;
    if (name == "defaultClient") return r.defaultClient;
    if (name == "client") return r.client;
    if (name == "title") return r.title;
    if (name == "token") return r.token;
    if (name == "scene") return std::to_string(r.scene);
    if (name == "visitMode") return std::to_string(r.visitMode);
    if (name == "owner") return std::to_string(qm::windowHandleNumber(r.owner));
    if (name == "pt.type") return std::to_string(pt.type);
    if (name == "pt.id") return std::to_string(pt.id);
    if (name == "pt.present") return pt.present ? "true" : "false";
    if (name == "pt.path") return pt.path;
    if (name == "pt.position") return tripleText(pt.position);
    if (name == "pt.rotation") return tripleText(pt.rotation);
    if (name == "pt.scale") return tripleText(pt.scale);
    return "?";
}

// The fields that `expected` names have its values; every other field is
// as in `unchanged`.
inline void expectFields(const qm::LaunchParameters& actual, const qm::LaunchParameters& unchanged,
                         const Fields& expected, const std::string& context) {
    static const char* const names[] = {"product", "state", "language", "defaultClient", "client",
                                        "title", "token", "scene", "visitMode", "owner", "pt.type",
                                        "pt.id", "pt.present", "pt.path", "pt.position",
                                        "pt.rotation", "pt.scale"};
    for (const auto& field : expected)
        EXPECT_NE("?", fieldText(actual, field.first)) << "no such field: " << field.first;
    for (const char* name : names) {
        std::string wanted = fieldText(unchanged, name);
        for (const auto& field : expected) {
            if (field.first == name)
                wanted = field.second;
        }
        EXPECT_EQ(wanted, fieldText(actual, name)) << name << " after " << context;
    }
}

}  // namespace launch_test
