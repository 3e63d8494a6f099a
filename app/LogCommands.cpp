#include "app/LogCommands.h"

#include "core/logger.h"
#include "platform/base/clipboard.h"
#include "platform/base/framework_objects.h"
#include "platform/base/modal.h"
#include "platform/base/shell_dialogs.h"

#include <cstring>
#include <fstream>

bool save_log(command_host& host)
{
    return save_log(host.log_view_lines(), host.command_window(), host.command_log());
}

bool copy_log(command_host& host)
{
    return copy_log(host.log_view_lines(), host.command_window(), host.command_log());
}

bool save_log(const std::vector<std::string>& lines, CWnd* owner, logger& log)
{
    if (lines.empty())
        return false;
    // No overwrite question (flags 0): the user chose the name.
    CFileDialog picker(FALSE, ".txt", nullptr, 0, "Text Files (*.txt)|*.txt|", owner, 0, FALSE);
    if (picker.DoModal() != IDOK)
        return false;
    return write_log_file(lines, picker.GetPathName().GetString(), log);
}

bool write_log_file(const std::vector<std::string>& lines, const std::string& path, logger& log)
{
    std::ofstream file(path, std::ios::out | std::ios::trunc | std::ios::binary);
    if (!file.is_open()) {
        log.enqueue("Unable to save log into " + path, logger::error);
        return false;
    }
    log << "Saving log into " << path << "\n";
    file << log_as_text(lines);
    file.close();
    // A full disk shows only here; the log must not look saved when it isn't.
    if (file.fail()) {
        log.enqueue("Unable to save log into " + path, logger::error);
        return false;
    }
    return true;
}

std::string log_as_text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        if (line.empty() || line.back() != '\n')
            text += '\n';
    }
    return text;
}

bool copy_log(const std::vector<std::string>& lines, CWnd* owner, logger& log)
{
    const std::string text = log_as_text(lines);
    if (!OpenClipboard(owner))
        return false;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, text.size() + 1);
    void* bytes = memory ? GlobalLock(memory) : nullptr;
    if (!bytes) {
        if (memory)
            GlobalFree(memory);
        CloseClipboard();
        log.enqueue("Unable to initialise clipboard", logger::error);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    return placed;
}
