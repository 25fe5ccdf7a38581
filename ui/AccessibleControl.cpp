#include "ui/AccessibleControl.h"

#include "system/ComPtr.h"
#include "system/DynamicApi.h"

#include <oleacc.h>

#include <new>
#include <utility>

namespace {

// The system's object, asked for everything but what is given here.
class AccessibleControl final : public IAccessible {
  public:
    AccessibleControl(ComPtr<IAccessible> system, const AccessibleText& text)
        : system_(std::move(system)), text_(text) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (!left)
            delete this;
        return left;
    }

    // Scripting's late binding, which screen readers do not use, and what the
    // system's own objects do not support either.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR*, VARIANT, LONG*) override { return E_NOTIMPL; }
    // The wizard has no help and no keyboard accelerators.
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
        *shortcut = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return system_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return system_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return system_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return Own(child) ? Text(text_.name, name) : system_->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return system_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return Own(child) && text_.description ? Text(text_.description, description)
                                               : system_->get_accDescription(child, description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!Own(child) || !text_.role)
            return system_->get_accRole(child, role);
        role->vt = VT_I4;
        role->lVal = text_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return system_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return system_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return system_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return system_->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return system_->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return system_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return system_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override {
        return system_->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return system_->accDoDefaultAction(child); }

  private:
    ~AccessibleControl() = default;

    static bool Own(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }
    static HRESULT Text(const wchar_t* text, BSTR* out) {
        *out = SysAllocString(text);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    ComPtr<IAccessible> system_;
    AccessibleText text_;
    ULONG references_ = 1;
};

}  // namespace

LRESULT AnswerAccessibleObject(HWND control, WPARAM wParam, LPARAM lParam, const AccessibleText& text) {
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return 0;
    // Loaded only when a screen reader asks: no start pays for it.
    const auto create = Late::CreateStdAccessibleObject();
    const auto answer = Late::LresultFromObject();
    ComPtr<IAccessible> system;
    if (!create || !answer || FAILED(create(control, OBJID_CLIENT, __uuidof(IAccessible), system.put_void())))
        return 0;
    IAccessible* object = new (std::nothrow) AccessibleControl(std::move(system), text);
    if (!object)
        return 0;
    const LRESULT result = answer(__uuidof(IAccessible), wParam, object);
    object->Release();
    return result;
}
