#include "controls/win32/Win32SpinEditX.h"

#include <commctrl.h>

namespace ovin {

namespace {

constexpr int kLabelId = -1;
constexpr int kNewLabelWidthPx = 65;
constexpr int kNewLabelHeightPx = 17;

Rect boundsOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
    return Rect{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

}  // namespace

Win32SpinEditX::Win32SpinEditX(HWND parent, int controlId, RECT bounds, SpinLimits limits, HFONT font,
                               std::wstring name)
    : m_spin(parent, controlId, bounds, limits, font), m_name(std::move(name))
{
    SetWindowSubclass(m_spin.edit(), &Win32SpinEditX::followProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

Win32SpinEditX::~Win32SpinEditX()
{
    if (IsWindow(m_spin.edit()))
        RemoveWindowSubclass(m_spin.edit(), &Win32SpinEditX::followProc, 0);
    m_label.reset();
}

void Win32SpinEditX::setCaption(const std::wstring& caption)
{
    m_caption = caption;
    if (caption.empty()) {
        m_label.reset();
        return;
    }
    if (!m_label) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(m_spin.edit(), WM_GETFONT, 0, 0));
        m_label = std::make_unique<Win32LabelX>(GetParent(m_spin.edit()), kLabelId, POINT{0, 0}, m_name, font);
        // Placed while it still shows the name, with that text's size, as the label always has been.
        setLabelSpacing(m_labelSpacing);
        if (const HWND label = m_label->hwnd())
            SetWindowPos(label, nullptr, 0, 0, kNewLabelWidthPx, kNewLabelHeightPx,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_label->setCaption(caption);
}

void Win32SpinEditX::setLabelSpacing(int spacing)
{
    m_labelSpacing = spacing;
    setLabelPosition(m_labelPosition);
}

void Win32SpinEditX::setLabelPosition(TLabelPosition position)
{
    if (!m_label || !m_label->hwnd())
        return;
    m_labelPosition = position;
    const Rect label = boundsOf(m_label->hwnd());
    const Point corner = PlaceLabel(position, boundsOf(m_spin.edit()), Size{label.width, label.height}, m_labelSpacing);
    m_label->moveTo(POINT{corner.x, corner.y});
}

void Win32SpinEditX::setBounds(RECT bounds)
{
    MoveWindow(m_spin.edit(), bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, TRUE);
}

LRESULT CALLBACK Win32SpinEditX::followProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data)
{
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    // Whoever moves the edit (the container's layout, a change of scale), the label goes along.
    if (message == WM_WINDOWPOSCHANGED) {
        const auto& pos = *reinterpret_cast<const WINDOWPOS*>(lParam);
        if ((pos.flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
            auto* self = reinterpret_cast<Win32SpinEditX*>(data);
            self->setLabelPosition(self->m_labelPosition);
        }
    }
    return result;
}

}  // namespace ovin
