#include "platform/SpecialFolders.h"

#include <cstdlib>

#include "platform/Paths.h"

#ifdef _WIN32
#include <shlobj.h>
#include <windows.h>

#include <memory>
#endif

namespace tavisto {

std::string RoamingFolderFromEnvironment(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') return xdgConfigHome;
    if (home != nullptr && home[0] != '\0') {
        return IncludeTrailingDelimiter(home, '/') + ".config";
    }
    return {};
}

#ifdef _WIN32

namespace {
struct ItemListFree {
    void operator()(ITEMIDLIST* items) const { CoTaskMemFree(items); }
};
}  // namespace

std::string SpecialFolderLocation(int csidl) {
    ITEMIDLIST* rawItems = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &rawItems))) return {};
    const std::unique_ptr<ITEMIDLIST, ItemListFree> items(rawItems);
    char buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListA(items.get(), buffer)) return {};
    return buffer;
}

#else

std::string SpecialFolderLocation(int csidl) {
    if (csidl != kCsidlAppData) return {};
    return RoamingFolderFromEnvironment(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

#endif

}  // namespace tavisto
