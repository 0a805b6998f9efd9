#pragma once
// Numbers in launch parameters, read the way the C library's atoi and sscanf
// read them (leading white space and a sign accepted, reading stops at the
// first other character), but with a defined result for every input: values
// beyond the range of an integer saturate instead of being undefined.
#include <cstdint>
#include <string>

namespace qm {

// atoi: 0 when no digit leads the text.
int32_t leadingInt(const std::string& text);

// sscanf "%d", "%f", "%llu": false when no number leads the text.
bool readInt(const std::string& text, int32_t& out);
bool readFloat(const std::string& text, float& out);
bool readUnsigned(const std::string& text, uint64_t& out);

// sscanf "%lld" reads one value: white space, an optional sign, a digit.
bool startsWithSignedInteger(const std::string& text);

}  // namespace qm
