#include "please_wait_thread.h"

#include <new>

#include "message_catalogue.h"

std::atomic<PleaseWaitDialog*> activeWaitDialog{nullptr};

PleaseWaitHandshake::PleaseWaitHandshake()
    : started_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), stop_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

void PleaseWaitHandshake::markStarted() {
    pleaseWaitStarted.store(true);
    SetEvent(started_.get());
}

void PleaseWaitHandshake::requestStop() {
    pleaseWaitStop.store(true);
    SetEvent(stop_.get());
}

namespace {

constexpr int kLanguageNameSize = 16;

// The launch parameters' language is not known here; the user's locale is.
void userLanguage(char (&language)[kLanguageNameSize]) {
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, language, kLanguageNameSize) == 0 ||
        language[0] == '\0')
        lstrcpynA(language, "en", kLanguageNameSize);
}

void bringForward(HWND window) {
    ShowWindow(window, SW_SHOW);
    BringWindowToTop(window);
    SetFocus(window);
    SetForegroundWindow(window);
    SetActiveWindow(window);
}

// Withdraws the dialog only if it is still the published one, so that a late
// thread of an earlier showing never hides the dialog of a later one.
void tearDown(std::unique_ptr<PleaseWaitDialog>& dialog) {
    PleaseWaitDialog* published = dialog.get();
    activeWaitDialog.compare_exchange_strong(published, nullptr);
    dialog.reset();
}

void showUntilStopped(PleaseWaitHandshake& handshake) {
    char language[kLanguageNameSize] = {};
    userLanguage(language);
    std::unique_ptr<PleaseWaitDialog> dialog(new (std::nothrow) PleaseWaitDialog(
        localizedText(language, kMsgLoadingTitle), localizedText(language, kMsgPleaseWait)));
    if (dialog)
        activeWaitDialog.store(dialog.get());
    if (dialog && dialog->window)
        bringForward(dialog->window.get());
    handshake.markStarted();

    // An idle pass blocks until a message arrives or the loader asks for the
    // stop, whichever comes first, so neither waits for a timer to come round.
    HANDLE stopEvent = handshake.stopEvent();
    bool keepGoing = true;
    while (keepGoing) {
        MSG message;
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else if (!dialog) {
            keepGoing = false;
        } else {
            MsgWaitForMultipleObjectsEx(1, &stopEvent, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        }
        if (dialog && handshake.pleaseWaitStop.load())
            tearDown(dialog);
    }
}

DWORD WINAPI pleaseWaitThread(void* argument) {
    std::unique_ptr<std::shared_ptr<PleaseWaitHandshake>> share(
        static_cast<std::shared_ptr<PleaseWaitHandshake>*>(argument));
    try {
        showUntilStopped(**share);
    } catch (...) {
        // Whatever went wrong, the loader must not wait for a start for ever.
        (*share)->markStarted();
    }
    return 0;
}

}  // namespace

UniqueKernelHandle startPleaseWaitThread(std::shared_ptr<PleaseWaitHandshake> handshake) {
    auto* share = new (std::nothrow) std::shared_ptr<PleaseWaitHandshake>(std::move(handshake));
    if (!share)
        return UniqueKernelHandle();
    HANDLE thread = CreateThread(nullptr, 0, &pleaseWaitThread, share, 0, nullptr);
    if (!thread)
        delete share;
    return UniqueKernelHandle(thread);
}
