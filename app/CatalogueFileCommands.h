#pragma once
// Dump and Load: the whole catalogue database saved to a ".db" file and loaded back, the
// differences rebuilt from what was loaded.

#include "app/CommandHost.h"

#include <cstdint>
#include <string>

// The two commands over the host's catalogue and settings; their file dialogs have no owner.
bool dump_catalogue(command_host& host);
bool load_catalogue(command_host& host, std::uint32_t mask, std::string& loaded_file /*out*/);

// Asks for the file (initial name from the DB export key) and dumps into it.
bool dump_catalogue(fs::file_archive& catalogue, config::settings& store, CWnd* owner, logger& log);
// "Database dumped into <path>" on success, one ERROR line with SQLite's message otherwise.
bool dump_catalogue_to(fs::file_archive& catalogue, const std::string& path, logger& log);

// Asks for the file and loads it; `loaded_file` (out) is the file the rows now come from.
bool load_catalogue(fs::file_archive& catalogue, std::uint32_t mask, CWnd* owner, logger& log,
                    std::string& loaded_file /*out*/);
// Loads without ever creating or changing the file; a file that can't be loaded leaves the
// catalogue and its rows as they were (one ERROR line). On success the result rows are rebuilt
// with `mask`; true only when both worked.
bool load_catalogue_from(fs::file_archive& catalogue, const std::string& path, std::uint32_t mask, logger& log);
