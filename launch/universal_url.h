#pragma once
// Universal URLs ("scheme://launch?key=value&...", "scheme://host/open/CLIENT/
// SCENE/LANGUAGE?..."), turned into a command line of parameters.
#include <string>
#include <string_view>

#include "launch_platform.h"
#include "qm/launch_parameters.h"

namespace qm {

// Parses the argument text that `url` stands for into `record`; when the URL
// has neither the command-word nor the path shape, logs an error and leaves
// the record exactly as it was.
void parseUniversalUrl(LaunchParameters& record, const char* url, const LaunchPlatform& platform);

// The argument text that `url` stands for; false when it has neither shape.
bool universalUrlToArguments(std::string_view url, std::string& out);

// Appends "-client C", then "-scene S" and/or "-language L" for the path
// segments of `rest` (up to its first "?").
void pathToArguments(std::string_view rest, std::string& out);

// Appends "-key value" for each piece of the query, up to its first empty piece.
void queryToArguments(std::string_view query, std::string& out);

// Decodes percent-escapes, except those that stand for letters, digits and
// the characters -_.!~*'();,/?:@&=+$#, which stay as written.
std::string decodeQueryValue(std::string_view value);

}  // namespace qm
