#include "apply_parameter.h"

#include <cstdint>

#include "number_reading.h"
#include "plain_file_name.h"
#include "window_handle_number.h"

namespace qm {
namespace {

constexpr char kEmptyParameter[] = "Empty parameter: ";
constexpr char kInvalidClient[] = "Invalid parameter: client";
constexpr char kShortPositioningList[] = "Wrong positiniong tool parameter";
constexpr char kBadPositioningId[] = "Wrong positioning id parameter";
constexpr char kBadPositioningNumber[] = "Wrong positioning parameter ";
constexpr char kPointOfInterest[] = "poi";

bool requireValue(const std::string& key, const std::string& value, const LaunchPlatform& platform) {
    if (!value.empty())
        return true;
    platform.showWarning(kEmptyParameter + key);
    return false;
}

void setText(std::string& field, const std::string& key, const std::string& value,
             const LaunchPlatform& platform) {
    if (requireValue(key, value, platform))
        field = value;
}

void setNumber(int32_t& field, const std::string& key, const std::string& value,
               const LaunchPlatform& platform) {
    if (requireValue(key, value, platform))
        field = leadingInt(value);
}

// The client names the library file that is loaded and the staged folder that
// is removed, and a web page can choose it: it must stay a plain file name.
void setClient(LaunchParameters& record, const std::string& key, const std::string& value,
               const LaunchPlatform& platform) {
    if (!requireValue(key, value, platform))
        return;
    if (!isPlainFileName(value)) {
        platform.showWarning(kInvalidClient);
        return;
    }
    record.client = value;
}

void setOwner(LaunchParameters& record, const std::string& value, const LaunchPlatform& platform) {
    uint64_t number = 0;
    if (value.empty() || !readUnsigned(value, number))
        return;
    const WindowHandle handle = windowHandleFromNumber(number);
    if (platform.isWindow(handle))
        record.owner = handle;
}

// Writes the group only when all three numbers read.
bool parseTriple(const char* name, const std::vector<std::string>& list, size_t start, float (&out)[3],
                 const LaunchPlatform& platform) {
    float read[3] = {};
    for (size_t i = 0; i < 3; ++i) {
        if (!readFloat(list[start + i], read[i])) {
            platform.showWarning(kBadPositioningNumber + std::string(name) + "[" + std::to_string(i) + "]");
            return false;
        }
    }
    for (size_t i = 0; i < 3; ++i)
        out[i] = read[i];
    return true;
}

void applyPositioning(PositionTool& tool, const std::string& value, const LaunchPlatform& platform) {
    tool.present = true;
    const std::vector<std::string> list = splitList(value);
    if (list.size() < 2) {
        platform.showWarning(kShortPositioningList);
        if (list.empty())
            return;
    }

    size_t firstNumber = 1;
    if (list[0] == kPointOfInterest) {
        tool.type = 1;
        if (list.size() < 2 || !readInt(list[1], tool.id)) {
            platform.showWarning(kBadPositioningId);
            return;
        }
        firstNumber = 2;
    } else {
        tool.path = list[0];
    }

    struct Group {
        const char* label;
        float (&values)[3];
    };
    const Group groups[] = {{"positon", tool.position}, {"rotation", tool.rotation}, {"scale", tool.scale}};
    size_t start = firstNumber;
    for (const Group& group : groups) {
        if (list.size() < start + 3 || !parseTriple(group.label, list, start, group.values, platform))
            return;
        start += 3;
    }
}

}  // namespace

void applyParameter(LaunchParameters& record, const std::string& key, const std::string& value,
                    const LaunchPlatform& platform) {
    if (key == "product") {
        setText(record.product, key, value, platform);
    } else if (key == "state") {
        setText(record.state, key, value, platform);
    } else if (key == "client") {
        setClient(record, key, value, platform);
    } else if (key == "scene") {
        setNumber(record.scene, key, value, platform);
    } else if (key == "language") {
        setText(record.language, key, value, platform);
    } else if (key == "visitMode") {
        setNumber(record.visitMode, key, value, platform);
    } else if (key == "positionTool") {
        applyPositioning(record.positionTool, value, platform);
    } else if (key == "owner") {
        setOwner(record, value, platform);
    } else if (key == "title") {
        if (!value.empty())
            record.title = value;
    } else if (key == "token") {
        record.token = value;
    }
}

std::vector<std::string> splitList(std::string_view value) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= value.size()) {
        size_t comma = value.find(',', start);
        if (comma == std::string_view::npos)
            comma = value.size();
        if (comma > start)
            pieces.emplace_back(value.substr(start, comma - start));
        start = comma + 1;
    }
    return pieces;
}

}  // namespace qm
