// A placeholder until the log view's own window joins: an empty child window, so that the main window can be laid
// out and run.
#include "Win32LogView.h"

namespace ovin {

Win32LogView::Win32LogView(HWND parent, EventLog&, int controlId)
    : m_window(CreateWindowExW(WS_EX_CLIENTEDGE, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr),
                               nullptr))
{
}

Win32LogView::~Win32LogView()
{
    if (m_window && IsWindow(m_window))
        DestroyWindow(m_window);
}

HWND Win32LogView::hwnd() const { return m_window; }

void Win32LogView::openFindBar() {}

}  // namespace ovin
