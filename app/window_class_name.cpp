#include "window_class_name.h"

#include "qm/owner_protocol.h"

void buildWindowClassName(const std::string& product, std::wstring& out) {
    if (!product.empty())
        out = qm::windowClassNameFor(product);
}
