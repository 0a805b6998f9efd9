#pragma once
// Median and spread of repeated measurements.
#include <string>
#include <vector>

struct RunFigures {
    size_t count = 0;
    double median = 0;
    double lowest = 0;
    double highest = 0;
};

// Figures of the samples; all 0 for none.
RunFigures figuresOf(std::vector<double> samples);

// "3.21 s [3.02-3.55]": the median and the range, in seconds.
std::string secondsText(const RunFigures& figures);
