#pragma once
// What an updater may touch is decided by the installation's registry
// configuration, which only administrators can write, never by the request,
// which any user or web page may have chosen: the source must be the
// configured staging folder (updateFilePath) or a folder inside it, the
// destination the configured library folder (libFilePath), and the program
// started again the host installed in that folder.
#include <string>

#include "updater_request.h"

// The host's program in its installation's library folder.
constexpr char kInstalledHostName[] = "quorvelmeet.exe";

struct CheckedRequest {
    std::string source;         // full paths
    std::string destination;
    std::string host;
    std::string hostArguments;  // the request's command without its program
};

// Any state of the request's product may be the one whose folders match.
// False, with the reason, when the request leaves its installation.
bool checkRequestAgainstInstallation(const UpdaterRequest& request, CheckedRequest& checked, std::string& why);
