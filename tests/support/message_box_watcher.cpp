#include "message_box_watcher.h"

#include <algorithm>

#include "screen_pixels.h"

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr DWORD kPollMs = 20;

std::string windowText(HWND window) {
    char buffer[4096] = {};
    GetWindowTextA(window, buffer, sizeof buffer);
    return buffer;
}

bool hasClass(HWND window, const char* className) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpiA(name, className) == 0;
}

struct KnownIcon {
    BoxIcon kind;
    LPCSTR resource;
};

const KnownIcon knownIcons[] = {
    {BoxIcon::Error, IDI_HAND},
    {BoxIcon::Warning, IDI_EXCLAMATION},
    {BoxIcon::Information, IDI_ASTERISK},
    {BoxIcon::Question, IDI_QUESTION},
};

std::vector<uint32_t> renderIcon(HICON icon, int width, int height, COLORREF background) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    DrawIconEx(memory, 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL);
    SelectObject(memory, old);
    DeleteDC(memory);
    HDC drawn = CreateCompatibleDC(screen);
    old = SelectObject(drawn, bitmap);
    std::vector<uint32_t> pixels = capturePixels(drawn, 0, 0, width, height);
    SelectObject(drawn, old);
    DeleteDC(drawn);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Icons of another process are not ours to compare by handle: compare what
// the box shows on the screen with each standard icon drawn here.
BoxIcon iconByPixels(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return BoxIcon::None;
    HDC screen = GetDC(nullptr);
    const std::vector<uint32_t> shown = capturePixels(screen, rect.left, rect.top, width, height);
    ReleaseDC(nullptr, screen);
    const COLORREF background = GetSysColor(COLOR_3DFACE);

    BoxIcon best = BoxIcon::None;
    size_t bestDifferences = shown.size() / 4;  // more than a quarter off: no match
    for (const KnownIcon& known : knownIcons) {
        const std::vector<uint32_t> drawn = renderIcon(LoadIcon(nullptr, known.resource), width, height, background);
        size_t differences = 0;
        for (size_t i = 0; i < shown.size(); ++i)
            differences += shown[i] != drawn[i];
        if (differences < bestDifferences) {
            bestDifferences = differences;
            best = known.kind;
        }
    }
    return best;
}

BoxIcon iconOf(HWND control) {
    const HICON icon = reinterpret_cast<HICON>(SendMessageA(control, STM_GETICON, 0, 0));
    if (!icon)
        return BoxIcon::None;
    for (const KnownIcon& known : knownIcons) {
        if (icon == LoadIcon(nullptr, known.resource))
            return known.kind;
    }
    return iconByPixels(control);
}

struct Children {
    HWND iconControl = nullptr;
    std::vector<std::string> buttons;
    std::vector<HWND> buttonWindows;
};

BOOL CALLBACK collectChild(HWND child, LPARAM param) {
    auto* children = reinterpret_cast<Children*>(param);
    if (hasClass(child, "Button")) {
        children->buttons.push_back(windowText(child));
        children->buttonWindows.push_back(child);
    } else if (hasClass(child, "Static") && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        children->iconControl = child;
    }
    return TRUE;
}

struct Search {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK collectBox(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && hasClass(window, "#32770"))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

const char* boxIconName(BoxIcon icon) {
    switch (icon) {
    case BoxIcon::Error: return "error";
    case BoxIcon::Warning: return "warning";
    case BoxIcon::Information: return "information";
    case BoxIcon::Question: return "question";
    default: return "none";
    }
}

MessageBoxWatcher::MessageBoxWatcher(DWORD processId)
    : processId_(processId ? processId : GetCurrentProcessId()),
      thread_([this] { watch(); }) {}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop();
}

void MessageBoxWatcher::stop() {
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

std::vector<RecordedBox> MessageBoxWatcher::boxes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

bool MessageBoxWatcher::waitForBoxes(size_t count, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (boxes_.size() >= count)
                return true;
        }
        if (GetTickCount64() >= deadline)
            return false;
        Sleep(kPollMs);
    }
}

bool MessageBoxWatcher::anyBoxShown() const {
    Search search{processId_, {}};
    EnumWindows(collectBox, reinterpret_cast<LPARAM>(&search));
    return !search.found.empty();
}

void MessageBoxWatcher::watch() {
    while (!stopping_) {
        answerVisibleBoxes();
        Sleep(kPollMs);
    }
}

void MessageBoxWatcher::answerVisibleBoxes() {
    Search search{processId_, {}};
    EnumWindows(collectBox, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.found) {
        if (std::find(answered_.begin(), answered_.end(), box) != answered_.end())
            continue;  // already pressed; the box is on its way out
        Children children;
        EnumChildWindows(box, collectChild, reinterpret_cast<LPARAM>(&children));
        if (children.buttonWindows.empty())
            continue;  // still being built
        if (std::find(seen_.begin(), seen_.end(), box) == seen_.end()) {
            seen_.push_back(box);  // read it on the next round, once it is painted
            continue;
        }

        RecordedBox record;
        record.caption = windowText(box);
        char text[8192] = {};
        GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
        record.text = text;
        record.icon = children.iconControl ? iconOf(children.iconControl) : BoxIcon::None;
        record.owner = GetWindow(box, GW_OWNER);
        record.topmost = (GetWindowLongA(box, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        record.buttons = children.buttons;

        int command = IDOK;
        if (!GetDlgItem(box, IDOK))
            command = GetDlgCtrlID(children.buttonWindows.front());
        {
            std::lock_guard<std::mutex> lock(mutex_);
            boxes_.push_back(record);
        }
        answered_.push_back(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, command)));
    }
    // A handle value may be reused by a later box once the old one is gone.
    const auto gone = [](HWND w) { return !IsWindow(w); };
    answered_.erase(std::remove_if(answered_.begin(), answered_.end(), gone), answered_.end());
    seen_.erase(std::remove_if(seen_.begin(), seen_.end(), gone), seen_.end());
}
