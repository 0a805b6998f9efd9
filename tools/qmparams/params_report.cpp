#include "params_report.h"

#include <cstdlib>

#include "command_line.h"
#include "json_text.h"
#include "launch_record.h"
#include "scripted_launch_platform.h"
#include "window_handle_number.h"

const char kInspectorUsage[] = "usage: qmparams [--lang LL] [--windows H1,H2,...] [--after TEXT0] -- TEXT\n";

namespace {

bool readWindowList(const std::string& list, std::vector<uint32_t>& windows) {
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string number = list.substr(start, comma - start);
        char* end = nullptr;
        const bool hex = number.size() > 2 && number[0] == '0' && (number[1] == 'x' || number[1] == 'X');
        const unsigned long long value = std::strtoull(number.c_str(), &end, hex ? 16 : 10);
        if (number.empty() || *end != '\0')
            return false;
        windows.push_back(qm::windowHandleNumber(qm::windowHandleFromNumber(value)));
        start = comma + 1;
    }
    return true;
}

// Appends `"key": ` with the indentation of a member of the top object.
void member(std::string& out, const char* key) {
    out += out.empty() ? "{\n  " : ",\n  ";
    appendJsonString(out, key);
    out += ": ";
}

void appendTriple(std::string& out, const float (&values)[3]) {
    out += '[';
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            out += ", ";
        appendJsonNumber(out, values[i]);
    }
    out += ']';
}

void appendPositionTool(std::string& out, const qm::PositionTool& tool) {
    out += "{\"type\": " + std::to_string(tool.type) + ", \"id\": " + std::to_string(tool.id);
    out += ", \"present\": ";
    out += tool.present ? "true" : "false";
    out += ", \"path\": ";
    appendJsonString(out, tool.path);
    out += ", \"position\": ";
    appendTriple(out, tool.position);
    out += ", \"rotation\": ";
    appendTriple(out, tool.rotation);
    out += ", \"scale\": ";
    appendTriple(out, tool.scale);
    out += '}';
}

template <typename Item, typename Write>
void appendList(std::string& out, const std::vector<Item>& items, Write write) {
    out += '[';
    for (size_t i = 0; i < items.size(); ++i) {
        out += i == 0 ? "\n    " : ",\n    ";
        write(items[i]);
    }
    out += items.empty() ? "]" : "\n  ]";
}

std::string description(const qm::LaunchParameters& record) {
    std::string text;
    qm::describe(record, text);
    return text;
}

}  // namespace

bool readInspectorArguments(const std::vector<std::string>& arguments, InspectorOptions& options,
                            std::string& error) {
    size_t i = 0;
    for (; i < arguments.size() && arguments[i] != "--"; ++i) {
        const std::string& option = arguments[i];
        if (option != "--lang" && option != "--windows" && option != "--after") {
            error = "unknown option: " + option;
            return false;
        }
        if (i + 1 >= arguments.size()) {
            error = option + " needs a value";
            return false;
        }
        const std::string& value = arguments[++i];
        if (option == "--lang") {
            options.language = value;
        } else if (option == "--after") {
            options.reset = true;
            options.before = value;
        } else if (!readWindowList(value, options.windows)) {
            error = "--windows takes handle numbers separated by commas: " + value;
            return false;
        }
    }
    if (i == arguments.size()) {
        error = "missing -- before the text";
        return false;
    }
    options.text.clear();
    for (++i; i < arguments.size(); ++i) {
        if (!options.text.empty())
            options.text += ' ';
        options.text += arguments[i];
    }
    return true;
}

std::string inspectLaunchText(const InspectorOptions& options) {
    qm::ScriptedLaunchPlatform platform;
    platform.language = options.language;
    platform.windows = options.windows;

    qm::LaunchParameters record = qm::defaultLaunchParameters();
    std::string resetDescription;
    if (options.reset) {
        qm::parseLaunchText(record, options.before.c_str(), platform);
        const qm::LaunchParameters current = record;
        record = qm::carryOver(current);
        qm::parseLaunchText(record, options.text.c_str(), platform);
        resetDescription = "current:" + description(current) + " new:" + description(record);
    } else {
        qm::parseLaunchText(record, options.text.c_str(), platform);
    }

    std::string out;
    const std::pair<const char*, const std::string*> texts[] = {
        {"product", &record.product}, {"state", &record.state}, {"language", &record.language},
        {"defaultClient", &record.defaultClient}, {"client", &record.client}, {"title", &record.title},
        {"token", &record.token}};
    for (const auto& text : texts) {
        member(out, text.first);
        appendJsonString(out, *text.second);
    }
    member(out, "scene");
    out += std::to_string(record.scene);
    member(out, "visitMode");
    out += std::to_string(record.visitMode);
    member(out, "positionTool");
    appendPositionTool(out, record.positionTool);
    member(out, "owner");
    out += std::to_string(qm::windowHandleNumber(record.owner));
    member(out, "extras");
    appendList(out, record.extras, [&out](const qm::LaunchParameters::Extra& extra) {
        out += '[';
        appendJsonString(out, extra.first);
        out += ", ";
        appendJsonString(out, extra.second);
        out += ']';
    });
    member(out, "warnings");
    appendList(out, platform.warnings, [&out](const std::string& warning) { appendJsonString(out, warning); });
    member(out, "description");
    appendJsonString(out, description(record));
    if (options.reset) {
        member(out, "resetDescription");
        appendJsonString(out, resetDescription);
    }
    out += "\n}\n";
    return out;
}
