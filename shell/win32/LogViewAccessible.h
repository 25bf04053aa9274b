#pragma once

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>

#include <functional>
#include <string>

namespace ovin::win32 {

/// IAccessible's id. The import library's IID_IAccessible names oleacc.dll's data through an import thunk, which
/// a program linked without dllimport reads as the thunk's code.
inline constexpr GUID kIidAccessible = __uuidof(IAccessible);

/// What a screen reader sees of the log view: an editable text (ROLE_SYSTEM_TEXT) named "Log" whose value is the
/// line the caret is on. Everything else (place, parent, focus, state) comes from the system's own object for the
/// window; the caret is the system caret, which screen readers follow by themselves.
class LogViewAccessible final : public IAccessible {
public:
    /// A new object with one reference, which the caller owns; `currentLine` gives the caret's line.
    static LogViewAccessible* create(HWND window, std::function<std::wstring()> currentLine);

    /// The view is going: every later call answers that the object is gone.
    void disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long left, long top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    LogViewAccessible(IAccessible* standard, std::function<std::wstring()> currentLine);
    ~LogViewAccessible();
    static bool isSelf(const VARIANT& child);

    LONG m_references = 1;
    // Hands the object out by pointer within the process, where no proxy for IAccessible is needed.
    IUnknown* m_marshaler = nullptr;
    IAccessible* m_standard;
    std::function<std::wstring()> m_currentLine;
};

}  // namespace ovin::win32
