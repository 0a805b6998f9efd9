#pragma once
#include <cstdint>

// Message numbers the host asks for; the catalogue holds 1 to 34.
enum MessageNumber : int32_t {
    kMsgNotInstalled = 2,
    kMsgCannotLoadProduct = 3,
    kMsgCannotInitialize = 4,
    kMsgCaptionError = 5,
    kMsgCaptionWarning = 6,
    kMsgCaptionInformation = 7,
    kMsgUpdateFailed = 14,
    kMsgNewVersionPage = 26,
    kMsgRestartFailed = 28,
    kMsgLoadingTitle = 29,
    kMsgPleaseWait = 30,
};

// The user-visible text of a message in a two-letter language ("en", "es").
// Never null; the text lives for the whole process. Unknown languages get
// English, unknown numbers the generic installation-error text.
const char* localizedText(const char* language, int32_t number);
