#include "LogViewAccessible.h"

namespace ovin::win32 {

namespace {

// Answered by an object whose view is gone.
constexpr HRESULT kGone = CO_E_OBJNOTCONNECTED;

}  // namespace

LogViewAccessible* LogViewAccessible::create(HWND window, std::function<std::wstring()> currentLine)
{
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&standard))))
        return nullptr;
    auto* object = new LogViewAccessible(standard, std::move(currentLine));
    CoCreateFreeThreadedMarshaler(static_cast<IAccessible*>(object), &object->m_marshaler);
    return object;
}

LogViewAccessible::LogViewAccessible(IAccessible* standard, std::function<std::wstring()> currentLine)
    : m_standard(standard), m_currentLine(std::move(currentLine))
{
}

LogViewAccessible::~LogViewAccessible()
{
    disconnect();
    if (m_marshaler)
        m_marshaler->Release();
}

void LogViewAccessible::disconnect()
{
    if (m_standard) {
        m_standard->Release();
        m_standard = nullptr;
    }
    m_currentLine = nullptr;
}

bool LogViewAccessible::isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

HRESULT LogViewAccessible::QueryInterface(REFIID riid, void** object)
{
    if (!object)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == kIidAccessible) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    if (riid == IID_IMarshal && m_marshaler)
        return m_marshaler->QueryInterface(riid, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG LogViewAccessible::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG LogViewAccessible::Release()
{
    const LONG left = InterlockedDecrement(&m_references);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// ---- what the log view says itself ------------------------------------------

HRESULT LogViewAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    if (!m_standard)
        return kGone;
    if (!isSelf(child))
        return E_INVALIDARG;
    *name = SysAllocString(L"Log");
    return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT LogViewAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    if (!m_standard)
        return kGone;
    if (!isSelf(child))
        return E_INVALIDARG;
    const std::wstring line = m_currentLine ? m_currentLine() : std::wstring();
    *value = SysAllocStringLen(line.data(), static_cast<UINT>(line.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT LogViewAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    VariantInit(role);
    if (!m_standard)
        return kGone;
    if (!isSelf(child))
        return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_TEXT;
    return S_OK;
}

HRESULT LogViewAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!m_standard)
        return kGone;
    const HRESULT hr = m_standard->get_accState(child, state);
    // An editable text: never read-only, whatever the window's class makes the system guess.
    if (SUCCEEDED(hr) && state->vt == VT_I4)
        state->lVal &= ~STATE_SYSTEM_READONLY;
    return hr;
}

HRESULT LogViewAccessible::put_accValue(VARIANT, BSTR) { return m_standard ? E_NOTIMPL : kGone; }

// ---- the rest from the system's object for the window ------------------------

HRESULT LogViewAccessible::GetTypeInfoCount(UINT* count)
{
    return m_standard ? m_standard->GetTypeInfoCount(count) : kGone;
}
HRESULT LogViewAccessible::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info)
{
    return m_standard ? m_standard->GetTypeInfo(index, lcid, info) : kGone;
}
HRESULT LogViewAccessible::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids)
{
    return m_standard ? m_standard->GetIDsOfNames(riid, names, count, lcid, ids) : kGone;
}
HRESULT LogViewAccessible::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* exception, UINT* argError)
{
    return m_standard ? m_standard->Invoke(id, riid, lcid, flags, params, result, exception, argError) : kGone;
}
HRESULT LogViewAccessible::get_accParent(IDispatch** parent)
{
    return m_standard ? m_standard->get_accParent(parent) : kGone;
}
HRESULT LogViewAccessible::get_accChildCount(long* count)
{
    return m_standard ? m_standard->get_accChildCount(count) : kGone;
}
HRESULT LogViewAccessible::get_accChild(VARIANT child, IDispatch** dispatch)
{
    return m_standard ? m_standard->get_accChild(child, dispatch) : kGone;
}
HRESULT LogViewAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return m_standard ? m_standard->get_accDescription(child, description) : kGone;
}
HRESULT LogViewAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    return m_standard ? m_standard->get_accHelp(child, help) : kGone;
}
HRESULT LogViewAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    return m_standard ? m_standard->get_accHelpTopic(file, child, topic) : kGone;
}
HRESULT LogViewAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return m_standard ? m_standard->get_accKeyboardShortcut(child, shortcut) : kGone;
}
HRESULT LogViewAccessible::get_accFocus(VARIANT* child) { return m_standard ? m_standard->get_accFocus(child) : kGone; }
HRESULT LogViewAccessible::get_accSelection(VARIANT* children)
{
    return m_standard ? m_standard->get_accSelection(children) : kGone;
}
HRESULT LogViewAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    return m_standard ? m_standard->get_accDefaultAction(child, action) : kGone;
}
HRESULT LogViewAccessible::accSelect(long flags, VARIANT child)
{
    return m_standard ? m_standard->accSelect(flags, child) : kGone;
}
HRESULT LogViewAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    return m_standard ? m_standard->accLocation(left, top, width, height, child) : kGone;
}
HRESULT LogViewAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    return m_standard ? m_standard->accNavigate(direction, start, end) : kGone;
}
HRESULT LogViewAccessible::accHitTest(long left, long top, VARIANT* child)
{
    return m_standard ? m_standard->accHitTest(left, top, child) : kGone;
}
HRESULT LogViewAccessible::accDoDefaultAction(VARIANT child)
{
    return m_standard ? m_standard->accDoDefaultAction(child) : kGone;
}
HRESULT LogViewAccessible::put_accName(VARIANT child, BSTR name)
{
    return m_standard ? m_standard->put_accName(child, name) : kGone;
}

}  // namespace ovin::win32
