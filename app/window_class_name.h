#pragma once
#include <string>

// The main window's class name for `product` (qm::windowClassNameFor). An
// empty product keeps `out` as it is: the class of a running window stays.
void buildWindowClassName(const std::string& product, std::wstring& out);
