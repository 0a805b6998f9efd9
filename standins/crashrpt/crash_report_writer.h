#pragma once
// Writes one report folder: minidump, attached files, screenshot, report.txt.
#include <string>

#include "crash_event.h"
#include "minidump_writer.h"
#include "report_settings.h"

// Returns the folder written ("" when not even the folder could be made).
// Each part that fails is noted in report.txt; the others are still written.
std::string writeCrashReport(const ReportSettings& settings, const MinidumpWriter& minidump,
                             const CrashEvent& event);
