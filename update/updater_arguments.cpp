#include "updater_arguments.h"

#include <cstring>

#include "updater_names.h"

namespace {

std::string text(const char* value) { return value ? value : ""; }

bool holdsAny(const char* value, const char* characters) {
    return value && std::strpbrk(value, characters) != nullptr;
}

}  // namespace

std::string updaterServiceName(const char* product) {
    return kUpdaterServicePrefix + text(product);
}

std::vector<std::string> updaterServiceArguments(const UpdaterValues& values) {
    const std::string productName =
        text(values.productName).empty() ? kEmptyProductNameArgument : text(values.productName);
    return {"-product", text(values.product),
            "-product-name", productName,
            "-src", text(values.src),
            "-dst", text(values.dst),
            "-cmd", "'" + text(values.cmd) + "'"};
}

std::string updaterParameterText(const UpdaterValues& values) {
    return "-product " + text(values.product) +
           " -product-name \"" + text(values.productName) +
           "\" -src \"" + text(values.src) +
           "\" -dst \"" + text(values.dst) +
           "\" -cmd '" + text(values.cmd) + "'";
}

const char* unsafeParameterTextReason(const UpdaterValues& values) {
    // The product is the only unquoted value: a blank would end it early and
    // an empty one would let the next option pass for it.
    if (text(values.product).empty())
        return "the product is empty";
    if (holdsAny(values.product, " \t\n"))
        return "the product holds a space, tab or line feed";
    if (holdsAny(values.product, "\""))
        return "the product holds a double quote";
    if (holdsAny(values.productName, "\""))
        return "the product name holds a double quote";
    if (holdsAny(values.src, "\""))
        return "the source holds a double quote";
    if (holdsAny(values.dst, "\""))
        return "the destination holds a double quote";
    return nullptr;
}
