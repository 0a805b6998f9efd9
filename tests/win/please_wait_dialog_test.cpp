// The please-wait dialog on its own thread: its windows as the user sees
// them, the bar's painting, and the stop hand-shake.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "gdi_scope.h"
#include "log_capture.h"
#include "please_wait_session.h"

namespace {

struct LanguageTexts {
    const char* language;
    const char* title;
    const char* text;
};

const LanguageTexts kTexts[] = {
    {"en", "Loading...",
     "Please wait; the application is now launching.\nYour anti-virus software is analyzing the files..."},
    {"es", "Cargando...",
     "Por favor, espera mientras arranca la aplicacion.\nTu anti-virus esta verificando los archivos..."},
};

// The language the test run was started for (the Spanish run sets it).
std::string expectedLanguage() {
    const char* value = std::getenv("QM_EXPECT_LANGUAGE");
    return value && *value ? value : "en";
}

std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string className(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// A child's rectangle in its parent's client coordinates.
RECT placeInParent(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

SIZE measureGuiText(const char* text) {
    WindowDeviceContext dc(nullptr);
    SelectedObject font(dc.get(), GetStockObject(DEFAULT_GUI_FONT));
    RECT r = {};
    DrawTextA(dc.get(), text, -1, &r, DT_CALCRECT);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE systemInformationIconSize() {
    ICONINFO info = {};
    if (!GetIconInfo(LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION)), &info))
        return {0, 0};
    UniqueGdiObject colour(info.hbmColor);
    UniqueGdiObject mask(info.hbmMask);
    BITMAP bitmap = {};
    if (!colour || !GetObjectA(colour.get(), sizeof bitmap, &bitmap))
        return {0, 0};
    return {bitmap.bmWidth, bitmap.bmHeight};
}

class PleaseWaitDialogTest : public ::testing::Test {
protected:
    PleaseWaitDialog& dialog() { return *activeWaitDialog.load(); }
    void SetUp() override { ASSERT_NE(nullptr, activeWaitDialog.load()) << "no dialog up"; }

    PleaseWaitSession session;
};

TEST_F(PleaseWaitDialogTest, ShowsTheTextsOfTheUserLocale) {
    char locale[16] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, locale, sizeof locale);
    ASSERT_EQ(expectedLanguage(), locale) << "the test environment is not in the expected locale";
    const auto texts = std::find_if(std::begin(kTexts), std::end(kTexts),
                                    [&](const LanguageTexts& t) { return expectedLanguage() == t.language; });
    ASSERT_NE(std::end(kTexts), texts);

    HWND window = dialog().window.get();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(kPleaseWaitClassName, className(window));
    EXPECT_EQ(texts->title, windowText(window));
    EXPECT_EQ(texts->text, windowText(dialog().textLabel));
    EXPECT_EQ(window, FindWindowA(kPleaseWaitClassName, texts->title));
}

TEST_F(PleaseWaitDialogTest, IsAVisibleFrameCentredOnThePrimaryScreen) {
    HWND window = dialog().window.get();
    EXPECT_TRUE(IsWindowVisible(window));
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(WS_DLGFRAME, style & WS_DLGFRAME);
    EXPECT_EQ(0, style & WS_CHILD);
    EXPECT_EQ(nullptr, GetParent(window));

    RECT r = {};
    GetWindowRect(window, &r);
    EXPECT_EQ((GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2, r.left);
    EXPECT_EQ((GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, r.top);
}

TEST_F(PleaseWaitDialogTest, LaysOutIconTextAndBarAroundTheMeasuredText) {
    PleaseWaitDialog& d = dialog();
    const SIZE icon = systemInformationIconSize();
    ASSERT_GT(icon.cx, 0) << "the system has no information icon to show";
    EXPECT_EQ(icon.cx, d.iconWidth);
    EXPECT_EQ(icon.cy, d.iconHeight);
    const SIZE text = measureGuiText(windowText(d.textLabel).c_str());

    RECT client = {};
    GetClientRect(d.window.get(), &client);
    EXPECT_EQ(icon.cx + text.cx + 30, client.right);
    EXPECT_EQ(std::max(text.cy, icon.cy) + 65, client.bottom);

    for (HWND child : {d.iconLabel, d.textLabel, d.progressBar}) {
        EXPECT_EQ(0, lstrcmpiA("STATIC", className(child).c_str())) << className(child);
        EXPECT_EQ(d.window.get(), GetParent(child));
        EXPECT_TRUE(IsWindowVisible(child));
    }
    EXPECT_EQ(SS_ICON, GetWindowLongA(d.iconLabel, GWL_STYLE) & SS_TYPEMASK);
    EXPECT_NE(0, SendMessageA(d.iconLabel, STM_GETICON, 0, 0));

    EXPECT_EQ(describe({10, 10, 10 + icon.cx, 10 + icon.cy}), describe(placeInParent(d.iconLabel)));
    EXPECT_EQ(describe({icon.cx + 20, 10, icon.cx + 20 + text.cx, 10 + text.cy}),
              describe(placeInParent(d.textLabel)));
    EXPECT_EQ(describe({10, client.bottom - 45, client.right - 10, client.bottom - 10}),
              describe(placeInParent(d.progressBar)));
}

TEST_F(PleaseWaitDialogTest, EndingTearsTheDialogDownAndEndsItsThread) {
    HWND window = dialog().window.get();
    LogCapture log;
    session.end();
    EXPECT_EQ(nullptr, activeWaitDialog.load());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(log.linesStartingWith("W|PleaseWaitDialog").empty());

    // The next showing reuses the registered class.
    PleaseWaitSession next;
    ASSERT_NE(nullptr, activeWaitDialog.load());
    EXPECT_TRUE(IsWindow(activeWaitDialog.load()->window.get()));
    next.end();
    EXPECT_EQ(nullptr, activeWaitDialog.load());
}

// --- the bar -----------------------------------------------------------------

struct BarCase {
    const char* name;
    int32_t rows;     // range set before loading; 0 leaves the range empty
    int reports;      // libraries reported as loaded
    int32_t value;    // expected value afterwards
};

class PleaseWaitBar : public PleaseWaitDialogTest, public ::testing::WithParamInterface<BarCase> {};

// Repaints the bar on its own thread, now.
void repaint(HWND bar) {
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

TEST_P(PleaseWaitBar, FillsItsShareOfTheWidthAndCountsLoadedLibraries) {
    const BarCase& c = GetParam();
    PleaseWaitDialog& d = dialog();
    d.setProgressRange(c.rows);
    for (int i = 0; i < c.reports; ++i)
        d.reportLoaded(("lib" + std::to_string(i) + ".dll").c_str());

    const PleaseWaitProgress state = d.progress();
    EXPECT_EQ(0, state.progressMin);
    EXPECT_EQ(c.rows, state.progressMax);
    EXPECT_EQ(c.value, state.progressValue);
    EXPECT_EQ(c.reports ? "lib" + std::to_string(c.reports - 1) + ".dll" : "", state.progressText);

    repaint(d.progressBar);
    RECT r = {};
    GetClientRect(d.progressBar, &r);
    const COLORREF filledColour = GetSysColor(COLOR_MENUHILIGHT);
    const COLORREF emptyColour = GetSysColor(COLOR_BTNFACE);
    ASSERT_NE(filledColour, emptyColour);
    const int right = r.right;
    const int end = 1 + (c.rows > 0 ? (right - 2) * c.value / c.rows : 0);
    // Both ends of the filled part and of the rest, along the top row of the
    // inside, clear of the centred text.
    const int y = 3;
    WindowDeviceContext dc(d.progressBar);
    for (int x : {2, end - 1, end, right - 3}) {
        if (x < 1 || x > right - 2)
            continue;
        EXPECT_EQ(x < end ? filledColour : emptyColour, GetPixel(dc.get(), x, y)) << "x " << x << " end " << end;
    }
}

void PrintTo(const BarCase& c, std::ostream* out) {
    *out << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PleaseWaitBar,
    ::testing::Values(BarCase{"NoRange", 0, 3, 0}, BarCase{"Empty", 4, 0, 0}, BarCase{"Quarter", 4, 1, 1},
                      BarCase{"ClampedAtTheEnd", 4, 6, 4}, BarCase{"WholeTable", 35, 35, 35},
                      BarCase{"PartOfTable", 35, 12, 12}),
    [](const ::testing::TestParamInfo<BarCase>& info) { return std::string(info.param.name); });

// Counts the pixels of the bar's middle band that are not the face colour.
int textPixels(HWND bar) {
    RECT r = {};
    GetClientRect(bar, &r);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    WindowDeviceContext dc(bar);
    int count = 0;
    for (int x = r.right / 3; x < r.right * 2 / 3; ++x) {
        for (int y = 2; y < r.bottom - 2; ++y) {
            if (GetPixel(dc.get(), x, y) != face)
                ++count;
        }
    }
    return count;
}

TEST_F(PleaseWaitDialogTest, DrawsTheLastFileNameInTheMiddleOfTheBar) {
    PleaseWaitDialog& d = dialog();
    repaint(d.progressBar);
    EXPECT_EQ(0, textPixels(d.progressBar));
    d.reportLoaded("stageengine.dll");
    repaint(d.progressBar);
    EXPECT_GT(textPixels(d.progressBar), 20);
}

// --- the stop hand-shake -----------------------------------------------------

HANDLE heldEvent = nullptr;
HANDLE releaseEvent = nullptr;

// Runs on the dialog thread when it takes a message: holds it there.
LRESULT CALLBACK holdTheDialogThread(int code, WPARAM wParam, LPARAM lParam) {
    SetEvent(heldEvent);
    WaitForSingleObject(releaseEvent, 10000);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(PleaseWaitSessionTest, ABusyDialogThreadIsLeftToEndOnItsOwn) {
    UniqueKernelHandle held(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    UniqueKernelHandle release(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    heldEvent = held.get();
    releaseEvent = release.get();
    LogCapture log;
    HWND window = nullptr;
    {
        PleaseWaitSession session;
        PleaseWaitDialog* dialog = activeWaitDialog.load();
        ASSERT_NE(nullptr, dialog);
        window = dialog->window.get();
        const DWORD dialogThread = GetWindowThreadProcessId(window, nullptr);
        HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, &holdTheDialogThread, nullptr, dialogThread);
        ASSERT_NE(nullptr, hook);
        PostMessageA(window, WM_NULL, 0, 0);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(held.get(), 10000));
        session.end();
        EXPECT_EQ(std::vector<std::string>{"W|PleaseWaitDialog still running (r=258)\n"},
                  log.linesStartingWith("W|PleaseWaitDialog"));
        UnhookWindowsHookEx(hook);
    }
    // The session and its share of the hand-shake are gone; the thread still
    // reads its own share when it is let go.
    SetEvent(release.get());
    for (int i = 0; i < 100 && activeWaitDialog.load(); ++i)
        Sleep(50);
    EXPECT_EQ(nullptr, activeWaitDialog.load());
    for (int i = 0; i < 100 && IsWindow(window); ++i)
        Sleep(50);
    EXPECT_FALSE(IsWindow(window));
}

// --- waking on the other side's signal -----------------------------------------

constexpr DWORD kSafetyNetMs = 10000;

// What the two sides of a scripted showing did, in the order they did it.
class EventOrder {
public:
    void note(const char* event) {
        std::lock_guard<std::mutex> hold(lock_);
        events_.push_back(event);
    }
    void clear() {
        std::lock_guard<std::mutex> hold(lock_);
        events_.clear();
    }
    std::vector<std::string> events() const {
        std::lock_guard<std::mutex> hold(lock_);
        return events_;
    }

private:
    mutable std::mutex lock_;
    std::vector<std::string> events_;
};

EventOrder order;
HANDLE loaderWentOn = nullptr;

// A dialog thread that reports its start and then holds on until the loader
// has gone on: a loader that waited for more than the start would wait here
// until the safety net, and the order would show it.
DWORD WINAPI startThenWatchTheLoader(void* argument) {
    std::unique_ptr<std::shared_ptr<PleaseWaitHandshake>> share(
        static_cast<std::shared_ptr<PleaseWaitHandshake>*>(argument));
    PleaseWaitHandshake& handshake = **share;
    order.note("dialog reports its start");
    handshake.markStarted();
    if (WaitForSingleObject(loaderWentOn, kSafetyNetMs) == WAIT_OBJECT_0)
        order.note("dialog thread saw the loader go on");
    if (WaitForSingleObject(handshake.stopEvent(), kSafetyNetMs) == WAIT_OBJECT_0 && handshake.pleaseWaitStop.load())
        order.note("dialog thread woke for the stop");
    return 0;
}

// Ends without ever reporting a start, as a thread that failed early would.
DWORD WINAPI endWithoutStarting(void*) {
    order.note("dialog thread ended");
    return 0;
}

template <LPTHREAD_START_ROUTINE Entry>
UniqueKernelHandle startScripted(std::shared_ptr<PleaseWaitHandshake> handshake) {
    auto* share = new std::shared_ptr<PleaseWaitHandshake>(std::move(handshake));
    return UniqueKernelHandle(CreateThread(nullptr, 0, Entry, share, 0, nullptr));
}

TEST(PleaseWaitSessionTest, TheLoaderGoesOnTheMomentTheDialogIsUpAndTheDialogGoesOnTheStop) {
    order.clear();
    UniqueKernelHandle wentOn(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    loaderWentOn = wentOn.get();
    LogCapture log;
    PleaseWaitSession session(&startScripted<startThenWatchTheLoader>);
    order.note("loader went on");
    SetEvent(wentOn.get());
    session.end();
    order.note("loader ended the dialog");
    EXPECT_EQ((std::vector<std::string>{"dialog reports its start", "loader went on", "dialog thread saw the loader go on",
                                        "dialog thread woke for the stop", "loader ended the dialog"}),
              order.events());
    EXPECT_TRUE(log.linesStartingWith("W|PleaseWaitDialog").empty());
}

// Runs on a thread of its own, so that a loader that never goes on is seen
// as a missing event rather than a hung test.
DWORD WINAPI loadBehindADialogThatNeverStarts(void*) {
    PleaseWaitSession session(&startScripted<endWithoutStarting>);
    order.note(activeWaitDialog.load() ? "loader went on with a dialog" : "loader went on without a dialog");
    session.end();
    return 0;
}

TEST(PleaseWaitSessionTest, ADialogThreadThatEndsWithoutStartingDoesNotHoldTheLoader) {
    order.clear();
    LogCapture log;
    UniqueKernelHandle loader(CreateThread(nullptr, 0, &loadBehindADialogThatNeverStarts, nullptr, 0, nullptr));
    ASSERT_TRUE(loader);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(loader.get(), kSafetyNetMs)) << "the loader still waits for the start";
    EXPECT_EQ((std::vector<std::string>{"dialog thread ended", "loader went on without a dialog"}), order.events());
    EXPECT_TRUE(log.linesStartingWith("W|PleaseWaitDialog").empty());
}

UniqueKernelHandle noThread(std::shared_ptr<PleaseWaitHandshake>) {
    return UniqueKernelHandle();
}

TEST(PleaseWaitSessionTest, WithoutAThreadThereIsNoDialogAndNoWait) {
    LogCapture log;
    PleaseWaitSession session(&noThread);
    EXPECT_FALSE(session.threadStarted());
    EXPECT_EQ(nullptr, activeWaitDialog.load());
    session.end();
    EXPECT_TRUE(log.lines().empty());
}

}  // namespace
