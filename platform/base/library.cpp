#include "platform/base/library.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

namespace {

struct module_entry {
    std::string name;
    platform::procedure_table procedures;
    int loads = 0;
};

std::map<std::string, std::unique_ptr<module_entry>>& modules()
{
    static std::map<std::string, std::unique_ptr<module_entry>> registered;
    return registered;
}

std::string folded(const std::string& name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char character) { return static_cast<char>(std::tolower(character)); });
    return lower;
}

DWORD reported_major = 5;
DWORD reported_minor = 1;

}  // namespace

HMODULE LoadLibraryA(const char* name)
{
    if (!name)
        return nullptr;
    auto found = modules().find(folded(name));
    if (found == modules().end())
        return nullptr;
    ++found->second->loads;
    return found->second.get();
}

FARPROC GetProcAddress(HMODULE module, const char* procedure)
{
    if (!module || !procedure)
        return nullptr;
    for (const auto& entry : modules()) {
        if (entry.second.get() != module)
            continue;
        auto found = entry.second->procedures.find(procedure);
        return found == entry.second->procedures.end() ? nullptr : found->second;
    }
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    for (const auto& entry : modules()) {
        if (entry.second.get() == module && entry.second->loads > 0) {
            --entry.second->loads;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    if (!info || info->dwOSVersionInfoSize < sizeof(OSVERSIONINFOA))
        return FALSE;
    info->dwMajorVersion = reported_major;
    info->dwMinorVersion = reported_minor;
    info->dwBuildNumber = 2600;
    info->dwPlatformId = 2;
    return TRUE;
}

int MultiByteToWideChar(UINT /*code_page*/, DWORD /*flags*/, const char* text, int length, wchar_t* wide, int wide_size)
{
    if (!text)
        return 0;
    if (length < 0)
        length = static_cast<int>(std::char_traits<char>::length(text)) + 1;
    int written = 0;
    for (int index = 0; index < length;) {
        const unsigned char lead = static_cast<unsigned char>(text[index]);
        int extra = lead < 0xC0 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : 1;
        std::uint32_t code = lead;
        if (index + extra >= length) {
            code = 0xFFFD;
            extra = 0;
        } else if (extra > 0) {
            code = lead & (0x3Fu >> extra);
            for (int follow = 1; follow <= extra; ++follow)
                code = (code << 6) | (static_cast<unsigned char>(text[index + follow]) & 0x3Fu);
        } else if (lead >= 0x80) {
            code = 0xFFFD;
        }
        index += extra + 1;
        if (wide_size > 0) {
            if (written >= wide_size)
                return 0;
            wide[written] = static_cast<wchar_t>(code);
        }
        ++written;
    }
    return written;
}

int WideCharToMultiByte(UINT /*code_page*/, DWORD /*flags*/, const wchar_t* wide, int wide_length, char* text,
                        int size, const char* /*default_char*/, BOOL* used_default)
{
    if (used_default)
        *used_default = FALSE;
    if (!wide)
        return 0;
    if (wide_length < 0)
        wide_length = static_cast<int>(std::char_traits<wchar_t>::length(wide)) + 1;
    std::string encoded;
    for (int index = 0; index < wide_length; ++index) {
        const std::uint32_t code = static_cast<std::uint32_t>(wide[index]);
        if (code < 0x80) {
            encoded += static_cast<char>(code);
        } else if (code < 0x800) {
            encoded += static_cast<char>(0xC0 | (code >> 6));
            encoded += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            encoded += static_cast<char>(0xE0 | (code >> 12));
            encoded += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            encoded += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            encoded += static_cast<char>(0xF0 | (code >> 18));
            encoded += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            encoded += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            encoded += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    if (size > 0) {
        if (static_cast<int>(encoded.size()) > size)
            return 0;
        std::copy(encoded.begin(), encoded.end(), text);
    }
    return static_cast<int>(encoded.size());
}

namespace platform {

void register_module(const std::string& name, procedure_table procedures)
{
    auto& entry = modules()[folded(name)];
    if (!entry)
        entry = std::make_unique<module_entry>();
    entry->name = name;
    entry->procedures = std::move(procedures);
}

int module_load_count(const std::string& name)
{
    auto found = modules().find(folded(name));
    return found == modules().end() ? 0 : found->second->loads;
}

void set_reported_version(DWORD major, DWORD minor)
{
    reported_major = major;
    reported_minor = minor;
}

}  // namespace platform
