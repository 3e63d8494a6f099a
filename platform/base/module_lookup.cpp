#include "platform/base/module_lookup.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

struct Module {
    platform::procedure_table procedures;
    int loads = 0;
};

std::string Folded(const std::string& name)
{
    std::string folded = name;
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

std::map<std::string, std::unique_ptr<Module>>& Modules()
{
    static std::map<std::string, std::unique_ptr<Module>> modules;
    return modules;
}

Module* FindLoaded(HMODULE handle)
{
    for (auto& [name, module] : Modules()) {
        if (module.get() == handle && module->loads > 0)
            return module.get();
    }
    return nullptr;
}

platform::os_version_service& VersionService()
{
    static platform::os_version_service service;
    return service;
}

}  // namespace

HMODULE LoadLibraryA(LPCSTR name)
{
    if (name == nullptr)
        return nullptr;
    auto found = Modules().find(Folded(name));
    if (found == Modules().end())
        return nullptr;
    ++found->second->loads;
    return found->second.get();
}

FARPROC GetProcAddress(HMODULE handle, LPCSTR procedure)
{
    Module* module = FindLoaded(handle);
    if (module == nullptr || procedure == nullptr)
        return nullptr;
    auto found = module->procedures.find(procedure);
    return found != module->procedures.end() ? found->second : nullptr;
}

BOOL FreeLibrary(HMODULE handle)
{
    Module* module = FindLoaded(handle);
    if (module == nullptr)
        return FALSE;
    --module->loads;
    return TRUE;
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA))
        return FALSE;
    if (VersionService()) {
        VersionService()(info);
        return TRUE;
    }
    info->dwMajorVersion = 10;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 0;
    info->dwPlatformId = 2;
    info->szCSDVersion[0] = '\0';
    return TRUE;
}

namespace platform {

void register_module(const std::string& name, procedure_table procedures)
{
    std::unique_ptr<Module>& module = Modules()[Folded(name)];
    if (!module)
        module = std::make_unique<Module>();
    module->procedures = std::move(procedures);
}

void unregister_module(const std::string& name)
{
    auto found = Modules().find(Folded(name));
    if (found != Modules().end()) {
        found->second->procedures.clear();
        found->second->loads = 0;
    }
}

int module_load_count(const std::string& name)
{
    auto found = Modules().find(Folded(name));
    return found != Modules().end() ? found->second->loads : 0;
}

os_version_service set_os_version_service(os_version_service service)
{
    os_version_service previous = std::move(VersionService());
    VersionService() = std::move(service);
    return previous;
}

}  // namespace platform
