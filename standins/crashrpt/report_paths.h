#pragma once
// Names and folders of the reports. A name that goes into a path is either a
// plain file name (plain_file_name.h) or made into one, so nothing lands outside the report.
#include <string>

// The part after the last separator ("" when the path ends with one).
std::string fileNamePart(const std::string& path);

// `name` with every character that cannot stand in a folder name replaced by
// an underscore; "" stays "".
std::string safeFolderName(const std::string& name);

std::string withTrailingSeparator(std::string path);

// Creates `path` and its missing parents; true when it exists afterwards.
bool createDirectories(const std::string& path);
