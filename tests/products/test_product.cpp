// A product library for the host's end-to-end tests. Each test chooses its
// behaviour through environment variables (the host passes its environment
// on), and every call the library receives is written to the debugger
// output as one "T|" line, which the debugger harness collects in order
// with the host's own lines.
//
//   QMTP_CHECK       how qmUpdateSystem answers: "sync" (done at once, the
//                    default), "thread" (done 200 ms later from a thread of
//                    its own, which keeps the library loaded until it ends),
//                    "refuse" (returns false), "never" (never done)
//   QMTP_FLAGS       UpdateData flags (decimal), QMTP_URL, QMTP_SRC, QMTP_NAME
//   QMTP_NEWEST_BUILD  the newest build there is: a library of that build
//                    (TEST_PRODUCT_BUILD, 1 unless built otherwise) or a
//                    later one finds no update and answers flags 0
//   QMTP_FULLSCREEN  what qmIsFullScreen answers (default 0)
//   QMTP_CANCLOSE    "0": the loop refuses to close; "throw": it throws
//                    (only the variant built with TEST_PRODUCT_THROWS)
//   QMTP_ON_START    delegate calls after qmStart, separated by ';':
//                    ready, hide, show, fullscreen, framed, quit, stopped,
//                    reset=TEXT
//                    chain=N (while the scene is below N, reset to the next
//                    scene; at N, quit), burst=N (on the first start only,
//                    N threads each ask for a reset at once; the last to
//                    have its request taken records "burst asked N"),
//                    first (the rest only on a start without a scene),
//                    sleep=MS, params (records the scene of the record
//                    that qmInit received, read through its address now),
//                    close (sends WM_CLOSE to the window and waits for the
//                    answer), throw (qmStart throws "qmStart failed"; only
//                    the variant built with TEST_PRODUCT_THROWS)
//   QMTP_ON_STOP     the same calls, made in qmStop before productStopped
//   QMTP_ON_RESET    "echo" (default): qmReset passes its text to the
//                    delegate's reset; "null": it asks for a reset with a
//                    null text; "ignore": it does not
//
// The launch parameter -qmtp_journal FILE appends every record to FILE as
// well: a host that the updater started again runs under no debugger, and
// its command line, unlike its environment, reaches it through either
// updater. Without that parameter, QMTP_JOURNAL names the file: a link that
// the shell hands to the host carries no test parameter, but the host
// inherits the environment of the program that opened the link.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <atomic>
#include <thread>

#include "qm/loop_delegate.h"
#include "qm/product_library.h"

#define EXPORT extern "C" __declspec(dllexport)

#ifndef TEST_PRODUCT_BUILD
#define TEST_PRODUCT_BUILD 1
#endif

namespace {

std::string journalPath;  // from -qmtp_journal or QMTP_JOURNAL, empty: none

qm::QMLoopDelegate* delegate = nullptr;
HWND productWindow = nullptr;
const qm::LaunchParameters* initParameters = nullptr;  // as qmInit received it
int currentScene = -1;

void record(const char* format, ...) {
    char line[2048] = "T|";
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + 2, sizeof line - 3, format, args);
    va_end(args);
    std::strcat(line, "\n");
    OutputDebugStringA(line);
    if (!journalPath.empty()) {
        if (FILE* journal = std::fopen(journalPath.c_str(), "ab")) {
            std::fputs(line + 2, journal);
            std::fclose(journal);
        }
    }
}

std::string setting(const char* name, const char* otherwise = "") {
    char value[1024];
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string(otherwise);
}

void takeJournal(const qm::LaunchParameters& parameters) {
    const std::string* path = parameters.findExtra("qmtp_journal");
    journalPath = path ? *path : setting("QMTP_JOURNAL");
}

class TestLoop : public qm::ProductLoop {
public:
    void onFocusLost() override { record("onFocusLost"); }
    void onFocusGained() override { record("onFocusGained"); }
    void onRestored() override { record("onRestored"); }
    void onMinimized() override { record("onMinimized"); }
    void onLowMemory() override { record("onLowMemory"); }
    bool canClose() override {
        record("canClose");
        const std::string answer = setting("QMTP_CANCLOSE", "1");
#ifdef TEST_PRODUCT_THROWS
        if (answer == "throw")
            throw "canClose failed";
#endif
        return answer != "0";
    }
    bool hasFocus() override { return focused; }
    int onText(const char*, int) override { return 0; }
    int onRecord(const void*) override { return 0; }
    bool focused = false;
};

TestLoop productLoop;

void chain(int last) {
    if (currentScene >= last) {
        delegate->quit(0, 0);
        return;
    }
    const std::string next = "-scene " + std::to_string(currentScene < 0 ? 1 : currentScene + 1);
    delegate->reset(next.c_str());
}

void burst(int threads) {
    if (currentScene >= 0)
        return;  // only the first start bursts
    // The threads may still be finishing when a reset unloads the library:
    // pin it, as a library that leaves threads behind must.
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&burst), &self);
    qm::QMLoopDelegate* target = delegate;
    static std::atomic<int> asked{0};
    for (int i = 0; i < threads; ++i) {
        std::thread([target, i, threads] {
            const std::string text = "-scene " + std::to_string(100 + i);
            target->reset(text.c_str());
            if (++asked == threads)
                record("burst asked %d", threads);
        }).detach();
    }
}

// Handles and threads of this process, to see that nothing piles up.
void recordResources() {
    DWORD handles = 0;
    if (!GetProcessHandleCount(GetCurrentProcess(), &handles) || handles == 0) {
        // Without a count (Wine), the lowest free handle slot rises as
        // handles pile up.
        HANDLE probe = CreateEventA(nullptr, FALSE, FALSE, nullptr);
        handles = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(probe) / 4);
        CloseHandle(probe);
    }
    DWORD threads = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        threads += entry.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(snapshot);
    record("resources scene=%d handles=%lu threads=%lu", currentScene, handles, threads);
}

void runDelegateCalls(const std::string& script) {
    size_t start = 0;
    while (start < script.size()) {
        size_t end = script.find(';', start);
        if (end == std::string::npos)
            end = script.size();
        const std::string step = script.substr(start, end - start);
        start = end + 1;
        if (step == "first") {
            if (currentScene >= 0)
                return;
            continue;
        }
        record("delegate %s", step.c_str());
        if (step == "ready") delegate->productReady();
        else if (step == "hide") delegate->hideCursor();
        else if (step == "show") delegate->showCursor();
        else if (step == "fullscreen") delegate->setFullScreen(true);
        else if (step == "framed") delegate->setFullScreen(false);
        else if (step == "quit") delegate->quit(0, 0);
        else if (step == "stopped") delegate->productStopped();
        else if (step.compare(0, 6, "reset=") == 0) delegate->reset(step.c_str() + 6);
        else if (step.compare(0, 6, "chain=") == 0) chain(std::atoi(step.c_str() + 6));
        else if (step.compare(0, 6, "burst=") == 0) burst(std::atoi(step.c_str() + 6));
        else if (step.compare(0, 6, "sleep=") == 0) Sleep(static_cast<DWORD>(std::atoi(step.c_str() + 6)));
        else if (step == "params") record("params scene=%d", initParameters->scene);
        else if (step == "close") SendMessageA(productWindow, WM_CLOSE, 0, 0);
#ifdef TEST_PRODUCT_THROWS
        else if (step == "throw") throw "qmStart failed";
#endif
    }
}

}  // namespace

#ifndef TEST_PRODUCT_WITHOUT_UPDATE_SYSTEM
namespace {

// Completes an update check from a thread of its own, as a product whose
// check runs in the background; the thread holds the library until it ends.
struct LateCheck {
    QMUpdateCheckDoneFn done;
    int scene;
};

DWORD WINAPI completeCheckLater(void* parameter) {
    const LateCheck check = *static_cast<LateCheck*>(parameter);
    delete static_cast<LateCheck*>(parameter);
    Sleep(200);
    record("checkDone scene=%d", check.scene);
    check.done();
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&completeCheckLater), &self);
    FreeLibraryAndExitThread(self, 0);
}

void startLateCheck(QMUpdateCheckDoneFn done, int scene) {
    HMODULE self = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&completeCheckLater), &self);
    HANDLE thread = CreateThread(nullptr, 0, completeCheckLater, new LateCheck{done, scene}, 0, nullptr);
    if (thread)
        CloseHandle(thread);
}

}  // namespace

EXPORT bool __cdecl qmUpdateSystem(qm::LaunchParameters* parameters, HWND window, QMUpdateCheckDoneFn done,
                                   void* application) {
    takeJournal(*parameters);
    record("qmUpdateSystem product=%s window=%d application=%d build=%d", parameters->product.c_str(),
           window != nullptr, application != nullptr, TEST_PRODUCT_BUILD);
    const std::string check = setting("QMTP_CHECK", "sync");
    if (check == "refuse")
        return false;
    if (check == "thread")
        startLateCheck(done, parameters->scene);
    else if (check == "sync")
        done();
    return true;
}
#endif

#ifndef TEST_PRODUCT_WITHOUT_UPDATE_DATA
EXPORT bool __cdecl qmUpdateSystemGetData(qm::UpdateData* data) {
    const unsigned long newest = std::strtoul(setting("QMTP_NEWEST_BUILD", "0").c_str(), nullptr, 0);
    const bool upToDate = newest != 0 && static_cast<unsigned long>(TEST_PRODUCT_BUILD) >= newest;
    data->flags = static_cast<unsigned>(std::strtoul(setting("QMTP_FLAGS", "0").c_str(), nullptr, 0));
    if (upToDate)
        data->flags = 0;
    data->url = setting("QMTP_URL");
    data->src = setting("QMTP_SRC");
    data->productName = setting("QMTP_NAME");
    record("qmUpdateSystemGetData flags=%u", data->flags);
    return true;
}

EXPORT void __cdecl qmUpdateSystemRelease() {
    record("qmUpdateSystemRelease");
}
#endif

EXPORT void __cdecl qmPreInit() {
    record("qmPreInit");
}

EXPORT int __cdecl qmInit(qm::LaunchParameters* p, const qm::HostVersion* v) {
    takeJournal(*p);
    std::string extras;
    for (const auto& extra : p->extras)
        extras += extra.first + "=" + extra.second + ";";
    currentScene = p->scene;
    initParameters = p;
    const qm::PositionTool& t = p->positionTool;
    record("qmInit version=%d.%d.%d.%d product=%s state=%s language=%s client=%s title=%s token=%s scene=%d "
           "visitMode=%d owner=%u notify=%d pt=%d,%d,%d,%s,%.2f,%.2f,%.2f extras=%s",
           v->major, v->minor, v->build, v->revision, p->product.c_str(), p->state.c_str(), p->language.c_str(),
           p->client.c_str(), p->title.c_str(), p->token.c_str(), p->scene, p->visitMode,
           static_cast<unsigned>(reinterpret_cast<UINT_PTR>(p->owner)), t.ownerNotify != nullptr, t.present, t.type,
           t.id, t.path.c_str(), t.position[0], t.position[1], t.position[2], extras.c_str());
    return 0;
}

EXPORT int __cdecl qmIsFullScreen() {
    return std::atoi(setting("QMTP_FULLSCREEN", "0").c_str());
}

EXPORT int __cdecl qmStart(qm::QMLoopDelegate* hostDelegate, int width, int height, HWND window, HWND same,
                           int reserved) {
    delegate = hostDelegate;
    delegate->loop = &productLoop;
    productWindow = window;
    RECT client = {};
    GetClientRect(window, &client);
    record("qmStart size=%dx%d client=%dx%d visible=%d same=%d reserved=%d", width, height,
           static_cast<int>(client.right), static_cast<int>(client.bottom), IsWindowVisible(window) != 0,
           window == same, reserved);
    recordResources();
    runDelegateCalls(setting("QMTP_ON_START"));
    return 0;
}

EXPORT void __cdecl qmStop() {
    record("qmStop");
    if (!delegate)
        return;
    runDelegateCalls(setting("QMTP_ON_STOP"));
    delegate->productStopped();
}

#ifndef TEST_PRODUCT_WITHOUT_WINDOW_EVENTS
EXPORT void __cdecl qmResize(int width, int height, int fullScreen) {
    record("qmResize %dx%d full=%d", width, height, fullScreen);
}

EXPORT void __cdecl qmWinEvent(HWND, UINT message, WPARAM wParam, LPARAM, int* handled) {
    if (message == WM_KEYDOWN || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP || message == WM_MOUSEWHEEL)
        record("qmWinEvent %04x %u handled=%d", message, static_cast<unsigned>(wParam), *handled);
}
#endif

EXPORT void __cdecl qmTextInput(const char* text) {
    std::string hex;
    for (const char* c = text; *c; ++c) {
        char byte[4];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(*c));
        hex += byte;
    }
    record("qmTextInput %s", hex.c_str());
}

#ifndef TEST_PRODUCT_WITHOUT_KEY_EVENT
EXPORT void __cdecl qmKeyEvent() {
    record("qmKeyEvent");
}
#endif

#ifndef TEST_PRODUCT_WITHOUT_RESET
EXPORT void __cdecl qmReset(const char* text) {
    record("qmReset %s", text);
    const std::string onReset = setting("QMTP_ON_RESET", "echo");
    if (onReset == "echo" && delegate)
        delegate->reset(text);
    else if (onReset == "null" && delegate)
        delegate->reset(nullptr);
}
#endif
