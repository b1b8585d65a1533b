#include "browser_keys.h"

#include "wnd.h"

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

// The keys of one page, behind its one key handler.
struct CPageKeys {
    std::vector<Binding> bindings;

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
    auto& tables = PageKeys();
    for (auto it = tables.begin(); it != tables.end();)
        it = it->second.expired() ? tables.erase(it) : std::next(it);
    std::shared_ptr<CPageKeys> pKeys = tables[hPage].lock();
    if (!pKeys) {
        pKeys = std::make_shared<CPageKeys>();
        tables[hPage] = pKeys;
        page.SetKeyHandler([pKeys](unsigned nVirtKey, unsigned nModifiers) {
            return pKeys->OnKey(nVirtKey, nModifiers);
        });
    }
    pKeys->bindings.push_back({KeysOf(command), std::move(action)});
}
