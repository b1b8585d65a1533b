#include "browser_keys.h"

#include "wnd.h"
#include "wnd_platform.h"

#include <map>
#include <memory>
#include <vector>

namespace
{

struct Key {
    unsigned nVirtKey;
    unsigned nModifiers;
};

struct Binding {
    std::vector<Key> keys;
    std::function<void()> action;
};

struct CPageKeys;
std::map<HWND, std::weak_ptr<CPageKeys>>& PageKeys();
void ReleaseHook();

// The keys of one page, behind its one key handler.
struct CPageKeys {
    std::vector<Binding> bindings;

    CPageKeys() = default;
    CPageKeys(const CPageKeys&) = delete;
    CPageKeys& operator=(const CPageKeys&) = delete;
    ~CPageKeys() { ReleaseHook(); }

    bool OnKey(unsigned nVirtKey, unsigned nModifiers) const
    {
        for (const Binding& binding : bindings)
            for (const Key& key : binding.keys)
                if (key.nVirtKey == nVirtKey && key.nModifiers == nModifiers) {
                    binding.action();
                    return true;
                }
        return false;
    }
};

// A page's table lasts as long as its key handler: a page that sets another
// handler, or goes, takes its table with it.
std::map<HWND, std::weak_ptr<CPageKeys>>& PageKeys()
{
    static std::map<HWND, std::weak_ptr<CPageKeys>> tables;
    return tables;
}

HHOOK g_hHook = nullptr;

// The page's keys from wherever the focus is on it, also from inside the
// browser control: the thread's key messages are looked at as they leave the
// queue, before the control's own keyboard handling, which would take back,
// forward, reload and find for itself, sees them.
LRESULT CALLBACK OnThreadMessage(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && wParam == PM_REMOVE) {
        MSG* pMsg = reinterpret_cast<MSG*>(lParam);
        if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN) {
            const auto& tables = PageKeys();
            for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = GetAncestor(hWnd, GA_PARENT)) {
                const auto it = tables.find(hWnd);
                if (it == tables.end())
                    continue;
                // Only the page on show: a hidden tab keeps its keys to itself.
                const std::shared_ptr<CPageKeys> pKeys = it->second.lock();
                if (pKeys && IsWindowVisible(hWnd) &&
                    pKeys->OnKey(static_cast<unsigned>(pMsg->wParam), HeldModifiers()))
                    pMsg->message = WM_NULL;
                break;
            }
        }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

// The hook goes with the last page's keys, before the library can be unloaded.
void ReleaseHook()
{
    auto& tables = PageKeys();
    for (auto it = tables.begin(); it != tables.end();)
        it = it->second.expired() ? tables.erase(it) : std::next(it);
    if (tables.empty() && g_hHook) {
        UnhookWindowsHookEx(g_hHook);
        g_hHook = nullptr;
    }
}

std::vector<Key> KeysOf(CBrowserKeys::ECommand command)
{
    using ECommand = CBrowserKeys::ECommand;
    switch (command) {
    case ECommand::Back:
        return {{VK_LEFT, MOD_ALT}, {VK_BROWSER_BACK, 0}};
    case ECommand::Forward:
        return {{VK_RIGHT, MOD_ALT}, {VK_BROWSER_FORWARD, 0}};
    case ECommand::Reload:
        return {{VK_F5, 0}, {'R', MOD_CONTROL}, {VK_BROWSER_REFRESH, 0}};
    case ECommand::Find:
        return {{'F', MOD_CONTROL}};
    case ECommand::ZoomIn:
        return {{VK_OEM_PLUS, MOD_CONTROL},
                {VK_OEM_PLUS, MOD_CONTROL | MOD_SHIFT},
                {VK_ADD, MOD_CONTROL}};
    case ECommand::ZoomOut:
        return {{VK_OEM_MINUS, MOD_CONTROL}, {VK_SUBTRACT, MOD_CONTROL}};
    case ECommand::ZoomReset:
        return {{'0', MOD_CONTROL}, {VK_NUMPAD0, MOD_CONTROL}};
    case ECommand::WordBox:
        return {{'L', MOD_CONTROL}, {VK_F6, 0}};
    }
    return {};
}

} // namespace

void CBrowserKeys::AddKeys(CWnd& page, ECommand command, std::function<void()> action)
{
    const HWND hPage = page.GetSafeHwnd();
    if (!hPage)
        return;
    auto& tables = PageKeys();
    for (auto it = tables.begin(); it != tables.end();)
        it = it->second.expired() ? tables.erase(it) : std::next(it);
    std::shared_ptr<CPageKeys> pKeys = tables[hPage].lock();
    if (!pKeys) {
        pKeys = std::make_shared<CPageKeys>();
        tables[hPage] = pKeys;
        if (!g_hHook)
            g_hHook =
                SetWindowsHookExW(WH_GETMESSAGE, OnThreadMessage, nullptr, GetCurrentThreadId());
        page.SetKeyHandler([pKeys](unsigned nVirtKey, unsigned nModifiers) {
            return pKeys->OnKey(nVirtKey, nModifiers);
        });
    }
    pKeys->bindings.push_back({KeysOf(command), std::move(action)});
}
