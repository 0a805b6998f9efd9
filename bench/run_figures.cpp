#include "run_figures.h"

#include <algorithm>
#include <cstdio>

RunFigures figuresOf(std::vector<double> samples) {
    RunFigures figures;
    figures.count = samples.size();
    if (samples.empty())
        return figures;
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    figures.median = samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
    figures.lowest = samples.front();
    figures.highest = samples.back();
    return figures;
}

std::string secondsText(const RunFigures& figures) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f s [%.2f-%.2f]", figures.median, figures.lowest, figures.highest);
    return text;
}
