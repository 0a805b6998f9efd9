#pragma once
#include <string>

constexpr size_t kMaxWindowClassNameUnits = 255;

// "STAGEENGINE." followed by the product upper-cased byte by byte (ASCII
// letters only), as UTF-16. An empty product keeps `out` as it is; a name
// longer than a window class allows makes it empty.
void buildWindowClassName(const std::string& product, std::wstring& out);
