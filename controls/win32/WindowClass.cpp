#include "controls/win32/WindowClass.h"

namespace ovin::win32 {

HICON LoadSharedIcon(HINSTANCE instance, int id, int sizeMetric)
{
    const int sizePx = GetSystemMetrics(sizeMetric);
    // Shared icons belong to the system, which frees them with the module; a class keeps them for its life.
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, sizePx, sizePx, LR_SHARED));
}

bool RegisterWindowClass(const WindowClassSpec& spec)
{
    const HINSTANCE instance = spec.instance ? spec.instance : GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, spec.name, &wc))
        return true;
    wc = {};
    wc.cbSize = sizeof wc;
    wc.style = spec.style;
    wc.lpfnWndProc = spec.procedure;
    wc.hInstance = instance;
    wc.hCursor = spec.cursor ? LoadCursorW(nullptr, spec.cursor) : nullptr;
    wc.hbrBackground = spec.buttonFace ? reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1) : nullptr;
    wc.lpszClassName = spec.name;
    if (spec.iconId != 0) {
        wc.hIcon = LoadSharedIcon(instance, spec.iconId, SM_CXICON);
        wc.hIconSm = LoadSharedIcon(instance, spec.iconId, SM_CXSMICON);
    }
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace ovin::win32
