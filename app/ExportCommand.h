#pragma once
// The Export command: what the grid shows, in the grid's order and with its shown columns,
// written by the main window's exporter of the chosen format, or the whole catalogue
// database copied for the DB format.

#include "app/CommandHost.h"
#include "app/ExportDialog.h"

#include <array>
#include <memory>
#include <string>

namespace data {
class data_exporter;
}

// Indexed by export_format; there is no exporter for the DB format.
using exporter_table = std::array<std::unique_ptr<data::data_exporter>, 4>;

// The three exporters, each with its file name from the settings.
exporter_table make_exporters(config::settings& store);

// The command over the host's grid and catalogue, with the exporters it owns.
class ExportCommand {
public:
    explicit ExportCommand(command_host& host) : m_host(host) {}
    ~ExportCommand();
    ExportCommand(const ExportCommand&) = delete;
    ExportCommand& operator=(const ExportCommand&) = delete;

    // The exporters take their file names from the settings as they are now.
    void MakeExporters();
    // Null for the DB format, and before MakeExporters.
    data::data_exporter* exporter(std::size_t format) const { return m_exporters[format].get(); }

    bool Run();

private:
    command_host& m_host;
    exporter_table m_exporters;
};

// Shows the dialog and exports what was chosen; false when cancelled or nothing was written.
bool run_export_command(CWnd* parent, CDataGridCtrl& grid, const exporter_table& exporters,
                        fs::file_archive& catalogue, const std::string& database_file, logger& log);

// "Export completed" is logged only when the file was written; every failure is one ERROR line.
bool export_grid(const export_options& options, CDataGridCtrl& grid, const exporter_table& exporters,
                 fs::file_archive& catalogue, const std::string& database_file, logger& log);
