#pragma once

#include <windows.h>

namespace ovin::win32 {

/// Selects a GDI object into a device context for one scope and puts the previous one back: a context must not be
/// released, nor the object deleted, while the object is still selected.
class SelectedObject final {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (m_previous && m_previous != HGDI_ERROR)
            SelectObject(m_dc, m_previous);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

}  // namespace ovin::win32
