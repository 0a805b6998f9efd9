#pragma once
// Conversions between the code pages the viewer meets: the ANSI launch
// parameters, UTF-8 typed text and GDI's UTF-16.
#include <windows.h>

#include <string>

namespace qo {

std::wstring widen(const std::string& text, UINT codePage);
std::string narrow(const std::wstring& text, UINT codePage);

}  // namespace qo
