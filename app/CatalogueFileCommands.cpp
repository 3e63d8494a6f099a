#include "app/CatalogueFileCommands.h"

#include "app/settings_keys.h"
#include "core/data/data_table.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"
#include "platform/base/modal.h"
#include "platform/base/shell_dialogs.h"

#include <boost/filesystem/operations.hpp>

namespace {

const char* const database_filter = "Sqlite Files (*.db)|*.db|";

}  // namespace

bool dump_catalogue(command_host& host)
{
    return dump_catalogue(host.command_archive(), host.command_settings(), nullptr, host.command_log());
}

bool load_catalogue(command_host& host, std::uint32_t mask, std::string& loaded_file)
{
    return load_catalogue(host.command_archive(), mask, nullptr, host.command_log(), loaded_file);
}

bool dump_catalogue(fs::file_archive& catalogue, config::settings& store, CWnd* owner, logger& log)
{
    const std::string initial = settings_keys::read_text(store, settings_keys::export_file("DB"));
    CFileDialog picker(FALSE, ".db", initial.c_str(), 0, database_filter, owner);
    if (picker.DoModal() != IDOK)
        return false;
    return dump_catalogue_to(catalogue, picker.GetPathName().GetString(), log);
}

bool dump_catalogue_to(fs::file_archive& catalogue, const std::string& path, logger& log)
{
    if (!catalogue.database.save_to_file(path)) {
        log.enqueue("Unable to dump database into " + path + ": " + catalogue.database.last_error(), logger::error);
        return false;
    }
    log << "Database dumped into " << path << "\n";
    return true;
}

bool load_catalogue(fs::file_archive& catalogue, std::uint32_t mask, CWnd* owner, logger& log,
                    std::string& loaded_file)
{
    CFileDialog picker(TRUE, ".db", nullptr, 0, database_filter, owner);
    if (picker.DoModal() != IDOK)
        return false;
    const std::string path = picker.GetPathName().GetString();
    if (!load_catalogue_from(catalogue, path, mask, log))
        return false;
    loaded_file = path;
    return true;
}

bool load_catalogue_from(fs::file_archive& catalogue, const std::string& path, std::uint32_t mask, logger& log)
{
    // Opening a pipe or a device to read it as a database would wait for ever.
    boost::system::error_code error;
    const boost::filesystem::file_status status = boost::filesystem::status(path, error);
    if (error || status.type() != boost::filesystem::regular_file) {
        log.enqueue("Unable to load " + path + ": " + (error ? error.message() : "not a regular file"), logger::error);
        return false;
    }
    // The checked load: an empty, foreign or incomplete database would replace the catalogue
    // and make every later comparison fail.
    std::string failure;
    if (!catalogue.load_catalogue(path, failure)) {
        log.enqueue(failure, logger::error);
        return false;
    }
    if (catalogue.result)
        catalogue.result->clear();
    data::data_table* table = catalogue.result.get();
    if (!catalogue.query_differences(0, table, mask, failure)) {
        log.enqueue(failure, logger::error);
        return false;
    }
    return true;
}
