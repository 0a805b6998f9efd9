#pragma once
// What the stand-in updaters are asked to do, read from the elevated
// executable's parameter text or from the service's arguments.
#include <string>
#include <vector>

struct UpdaterRequest {
    std::string product;
    std::string productName;
    std::string src;
    std::string dst;
    std::string cmd;
    unsigned long hostProcessId = 0;  // 0: wait for the command's executable
};

// -product P -product-name "N" -src "S" -dst "D" [-pid N] -cmd 'C'. Values
// may be quoted; the -cmd value is everything between the apostrophe after
// -cmd and the last apostrophe. False, with the reason, when the text is not
// such a request.
bool parseUpdaterParameterText(const std::string& text, UpdaterRequest& request,
                               std::string& error);

// The service's arguments after its name: option and value pairs, the -cmd
// value between apostrophes, "{}" for an empty product name.
bool parseUpdaterServiceArguments(const std::vector<std::string>& arguments,
                                  UpdaterRequest& request, std::string& error);

// A command line split into its program (quotes removed) and the rest.
std::string programOfCommandLine(const std::string& commandLine);
std::string parametersOfCommandLine(const std::string& commandLine);
