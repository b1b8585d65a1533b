#include "dialog_template.h"

#include "debug_output.h"
#include "utf_text.h"
#include "wnd_platform.h"

#include <cstdio>
#include <string_view>

namespace
{

// The templates' text as built into the module (RCDATA QB_DIALOGS).
std::string_view BuiltInText()
{
    const HINSTANCE hInstance = AfxGetResourceHandle();
    HRSRC hResource = FindResourceW(hInstance, L"QB_DIALOGS", MAKEINTRESOURCEW(10));
    HGLOBAL hData = hResource ? LoadResource(hInstance, hResource) : nullptr;
    const void* pData = hData ? LockResource(hData) : nullptr;
    if (!pData)
        return std::string_view();
    return std::string_view(static_cast<const char*>(pData), SizeofResource(hInstance, hResource));
}

} // namespace

const CDialogTemplate* CDialogTemplate::Find(int nID)
{
    static const std::vector<CDialogTemplate> s_templates = [] {
        std::vector<CDialogTemplate> templates;
        CString strError = u"not built in";
        const std::string_view text = BuiltInText();
        if (text.empty() || !Parse(Utf8ToUtf16(text), templates, &strError)) {
            if (IsDebugOutputOn())
                std::fprintf(stderr, "dialog templates unreadable: %s\n",
                             Utf16ToUtf8(strError).c_str());
            templates.clear();
        }
        return templates;
    }();
    for (const CDialogTemplate& dlg : s_templates)
        if (dlg.m_nID == nID)
            return &dlg;
    return nullptr;
}
