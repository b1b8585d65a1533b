#include "resource_loader.h"

#include "wnd_platform.h"

void AfxInitResources()
{
    // Resources are part of the module's image; there is nothing to load.
}

HINSTANCE AfxGetResourceHandle()
{
    static const HINSTANCE s_hInstance = [] {
        HMODULE hModule = nullptr;
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&AfxGetResourceHandle), &hModule);
        return hModule;
    }();
    return s_hInstance;
}
