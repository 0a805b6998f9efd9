#pragma once
// The pieces of JSON text that qmparams prints.
#include <string>
#include <string_view>

// A JSON string: quotes, backslashes and control bytes escaped; bytes above
// 0x7F written as \u00XX (the record's texts are bytes, not UTF-8).
void appendJsonString(std::string& out, std::string_view text);

// The shortest decimal form that reads back as the same float; null for
// infinities and NaN, which JSON cannot write.
void appendJsonNumber(std::string& out, float value);
