#include "please_wait_dialog.h"

#include <algorithm>

#include "gdi_scope.h"

namespace {

constexpr int kMargin = 10;
constexpr int kMaxMeasuredText = 1024;  // characters read back, NUL included
constexpr int kStartSize = 10;          // windows are created this small and laid out later
constexpr int kIconLabelStartSize = 128;

PleaseWaitDialog* dialogOf(HWND window) {
    return reinterpret_cast<PleaseWaitDialog*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

int width(const RECT& r) { return r.right - r.left; }
int height(const RECT& r) { return r.bottom - r.top; }

int32_t clampInto(int64_t value, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(value, low), high));
}

HGDIOBJ guiFont() { return GetStockObject(DEFAULT_GUI_FONT); }

// A slim lock: it cannot fail or throw, so the painting may take it inside
// the window procedure.
class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

}  // namespace

PleaseWaitDialog::PleaseWaitDialog(const char* title, const char* text) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (!registerWindowClass(instance))
        return;
    window.reset(CreateWindowExA(0, kPleaseWaitClassName, title, WS_DLGFRAME, 0, 0, kStartSize, kStartSize,
                                 nullptr, nullptr, instance, nullptr));
    if (!window)
        return;
    SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    createChildren();
    if (textLabel) {
        SetWindowTextA(textLabel, text);
        layOut();
    }
}

PleaseWaitDialog::~PleaseWaitDialog() {
    // Destroyed here, not as a member, so that the bar's last messages still
    // find every field alive.
    if (window) {
        ShowWindow(window.get(), SW_HIDE);
        window.reset();
    }
}

bool PleaseWaitDialog::registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_OWNDC | CS_DBLCLKS;
    windowClass.lpfnWndProc = &dialogProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kPleaseWaitClassName;
    // Every showing registers again; the class of an earlier one serves.
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void PleaseWaitDialog::createChildren() {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    auto createStatic = [&](DWORD style, int w, int h) {
        return CreateWindowExA(0, "STATIC", "", style, 0, 0, w, h, window.get(), nullptr, instance, nullptr);
    };
    textLabel = createStatic(WS_CHILD | WS_VISIBLE, kStartSize, kStartSize);
    if (textLabel)
        SendMessageA(textLabel, WM_SETFONT, reinterpret_cast<WPARAM>(guiFont()), 0);
    iconLabel = createStatic(WS_CHILD | WS_VISIBLE | SS_ICON, kIconLabelStartSize, kIconLabelStartSize);
    loadIcon();
    progressBar = createStatic(WS_CHILD | WS_VISIBLE, kStartSize, barHeight);
    subclassBar();
}

void PleaseWaitDialog::loadIcon() {
    // A shared system icon: never destroyed, but its bitmap copies are ours.
    HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION));
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info))
        return;
    UniqueGdiObject colour(info.hbmColor);
    UniqueGdiObject mask(info.hbmMask);
    SendMessageA(iconLabel, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    BITMAP bitmap = {};
    if (colour && GetObjectA(colour.get(), sizeof bitmap, &bitmap)) {
        iconWidth = bitmap.bmWidth;
        iconHeight = bitmap.bmHeight;
    }
}

void PleaseWaitDialog::subclassBar() {
    if (!progressBar)
        return;
    SetWindowLongPtrA(progressBar, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    previousBarProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(progressBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&barProc)));
}

void PleaseWaitDialog::layOut() {
    WindowDeviceContext dc(textLabel);
    if (!dc)
        return;
    SelectedObject font(dc.get(), guiFont());
    char text[kMaxMeasuredText] = {};
    const int length = GetWindowTextA(textLabel, text, kMaxMeasuredText);
    RECT measured = {};
    if (length <= 0 || DrawTextA(dc.get(), text, length, &measured, DT_CALCRECT) == 0)
        return;
    POINT corners[2] = {{measured.left, measured.top}, {measured.right, measured.bottom}};
    LPtoDP(dc.get(), corners, 2);
    const int textWidth = corners[1].x - corners[0].x;
    const int textHeight = corners[1].y - corners[0].y;

    const UINT keepPlace = SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER;
    SetWindowPos(textLabel, nullptr, 0, 0, textWidth, textHeight, keepPlace);

    const int clientWidth = iconWidth + textWidth + 3 * kMargin;
    const int clientHeight = std::max(textHeight, iconHeight) + 2 * kMargin + barHeight + kMargin;
    RECT windowRect = {};
    RECT clientRect = {};
    GetWindowRect(window.get(), &windowRect);
    GetClientRect(window.get(), &clientRect);
    // The resize sends WM_SIZE, which places the children.
    SetWindowPos(window.get(), nullptr, 0, 0, clientWidth + width(windowRect) - width(clientRect),
                 clientHeight + height(windowRect) - height(clientRect), keepPlace);

    // The primary screen, wherever the main window is.
    GetWindowRect(window.get(), &windowRect);
    SetWindowPos(window.get(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - width(windowRect)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - height(windowRect)) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

void PleaseWaitDialog::onSize(int clientWidth, int clientHeight) {
    const UINT flags = SWP_NOZORDER | SWP_NOOWNERZORDER;
    SetWindowPos(iconLabel, nullptr, kMargin, kMargin, iconWidth, iconHeight, flags);
    RECT textRect = {};
    GetWindowRect(textLabel, &textRect);
    SetWindowPos(textLabel, nullptr, iconWidth + 2 * kMargin, kMargin, clientWidth - iconWidth - 3 * kMargin,
                 height(textRect), flags);
    SetWindowPos(progressBar, nullptr, kMargin, clientHeight - barHeight - kMargin, clientWidth - 2 * kMargin,
                 barHeight, flags);
}

LRESULT CALLBACK PleaseWaitDialog::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        if (PleaseWaitDialog* dialog = dialogOf(window))
            dialog->onSize(LOWORD(lParam), HIWORD(lParam));
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK PleaseWaitDialog::barProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    PleaseWaitDialog* dialog = dialogOf(bar);
    if (!dialog || !dialog->previousBarProc)
        return 0;
    if (message != WM_PAINT)
        return CallWindowProcA(dialog->previousBarProc, bar, message, wParam, lParam);
    dialog->paintBar(bar);
    return 0;
}

void PleaseWaitDialog::paintBar(HWND bar) {
    PaintScope paint(bar);
    if (!paint)
        return;
    HDC dc = paint.get();
    // The loader may change the state meanwhile; paint one whole reading of it.
    const PleaseWaitProgress now = progress();

    RECT r = {};
    GetClientRect(bar, &r);
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
    RECT inside = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};

    RECT filled = inside;
    filled.right = filled.left;
    const int64_t range = int64_t{now.progressMax} - now.progressMin;
    if (range > 0) {
        const int64_t length = int64_t{width(r) - 2} * now.progressValue / range;
        filled.right = inside.left + clampInto(length, 0, std::max(width(inside), 0));
        FillRect(dc, &filled, GetSysColorBrush(COLOR_MENUHILIGHT));
    }
    RECT rest = inside;
    rest.left = filled.right;
    FillRect(dc, &rest, GetSysColorBrush(COLOR_BTNFACE));

    if (now.progressText[0] == '\0')
        return;
    SelectedObject font(dc, guiFont());
    if (!font)
        return;
    TEXTMETRICA metrics = {};
    if (GetTextMetricsA(dc, &metrics) && metrics.tmHeight < height(r))
        OffsetRect(&r, 0, (height(r) - metrics.tmHeight) / 2);
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, now.progressText, -1, &r, DT_CENTER | DT_NOCLIP);
}

void PleaseWaitDialog::setProgressRange(int32_t count) {
    if (!progressBar || count <= 0)
        return;
    ExclusiveLock hold(progressLock);
    state.progressMin = 0;
    state.progressMax = count;
    state.progressValue = clampInto(state.progressValue, 0, count);
}

void PleaseWaitDialog::reportLoaded(const char* fileName) {
    {
        ExclusiveLock hold(progressLock);
        lstrcpynA(state.progressText, fileName ? fileName : "", kProgressTextSize);
        if (progressBar && state.progressMin < state.progressMax)
            state.progressValue = clampInto(int64_t{state.progressValue} + 1, state.progressMin, state.progressMax);
    }
    invalidateBar();
}

PleaseWaitProgress PleaseWaitDialog::progress() const {
    ExclusiveLock hold(progressLock);
    return state;
}

void PleaseWaitDialog::invalidateBar() {
    // The bar belongs to the dialog thread; it repaints when it next pumps.
    if (progressBar)
        InvalidateRect(progressBar, nullptr, FALSE);
}
