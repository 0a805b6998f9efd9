#pragma once
// The signed update folders the build makes for the updater tests
// (make_update_fixtures.cmake), and staging them where a test needs them.
#include <string>

// The fixture folder `name` (roundtrip, library-2, other-key, dotdot).
std::string updateFixture(const char* name);

// Copies the files of fixture `name` into `folder`, which is created; false
// when a copy fails.
bool stageUpdateFixture(const char* name, const std::string& folder);

// Copies `files` of the build's bin folder into `folder` (created), the
// first of them under `firstAs` when that is not empty.
bool installBuiltFiles(const std::string& folder, std::initializer_list<const char*> files,
                       const char* firstAs = "");
