#include "catalogue_box.h"

#include "message_catalogue.h"

void showCatalogueBox(const qm::LaunchParameters& params, HWND owner, int32_t text, int32_t caption, UINT style) {
    if (params.isCloudInstance())
        return;
    const char* language = params.language.c_str();
    MessageBoxA(owner, localizedText(language, text), localizedText(language, caption), style);
}
