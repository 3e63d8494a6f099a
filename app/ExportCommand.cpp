#include "app/ExportCommand.h"

#include "app/CatalogueFileCommands.h"
#include "app/DataGridCtrl.h"
#include "app/settings_keys.h"
#include "core/data/data_exporter.h"
#include "core/data/data_table.h"
#include "core/fs/file_archive.h"
#include "core/logger.h"

#include <vector>

namespace {

// Grid columns of width 0 are hidden and take no place in the export.
std::vector<int> shown_columns(CDataGridCtrl& grid)
{
    std::vector<int> shown;
    for (int column = 0; column < grid.GetColumnCount(); ++column)
        if (grid.GetColumnWidthAt(column) > 0)
            shown.push_back(column);
    return shown;
}

std::string heading_of(const CDataGridCtrl& grid, int column)
{
    try {
        return grid.GetColumnsInfo().AtPosition(static_cast<std::uint64_t>(column)).caption;
    } catch (const std::exception&) {
        return std::string();
    }
}

void apply_options(data::data_exporter& exporter, const export_options& options, const std::vector<std::string>& headings)
{
    if (auto* csv = dynamic_cast<data::csv_exporter*>(&exporter)) {
        // An empty separator would run the fields together.
        csv->set_separator(options.separator.empty() ? std::string(",") : options.separator);
        csv->set_header(options.include_header);
        csv->set_column_names(headings);
        return;
    }
    // The XML exporter names the k-th cell of a row by the k-th name after the first.
    std::vector<std::string> names;
    names.reserve(headings.size() + 1);
    names.emplace_back();
    names.insert(names.end(), headings.begin(), headings.end());
    exporter.set_column_names(names);
    if (auto* xml = dynamic_cast<data::xml_exporter*>(&exporter))
        xml->set_values_as_attributes(options.values_as_attributes);
}

}  // namespace

exporter_table make_exporters(config::settings& store)
{
    exporter_table exporters;
    exporters[export_csv] = std::make_unique<data::csv_exporter>();
    exporters[export_xml] = std::make_unique<data::xml_exporter>();
    exporters[export_excel] = std::make_unique<data::excel_exporter>();
    for (const auto& exporter : exporters)
        if (exporter)
            exporter->set_file_name(
                settings_keys::read_text(store, settings_keys::export_file(exporter->format_name())));
    return exporters;
}

ExportCommand::~ExportCommand() = default;

void ExportCommand::MakeExporters()
{
    m_exporters = make_exporters(m_host.command_settings());
}

bool ExportCommand::Run()
{
    return run_export_command(m_host.command_window(), m_host.command_grid(), m_exporters, m_host.command_archive(),
                              settings_keys::read_text(m_host.command_settings(), settings_keys::export_file("DB")),
                              m_host.command_log());
}

bool run_export_command(CWnd* parent, CDataGridCtrl& grid, const exporter_table& exporters,
                        fs::file_archive& catalogue, const std::string& database_file, logger& log)
{
    CExportDialog dialog(parent);
    if (dialog.DoModal() != IDOK)
        return false;
    return export_grid(dialog.options(), grid, exporters, catalogue, database_file, log);
}

bool export_grid(const export_options& options, CDataGridCtrl& grid, const exporter_table& exporters,
                 fs::file_archive& catalogue, const std::string& database_file, logger& log)
{
    if (options.format < export_csv || options.format > export_excel)
        return false;
    if (options.format == export_db)
        return dump_catalogue_to(catalogue, database_file, log);
    data::data_exporter* exporter = exporters[static_cast<std::size_t>(options.format)].get();
    if (!exporter) {
        log.enqueue("No export available for format "
                        + data::data_exporter::format_names()[static_cast<std::size_t>(options.format)],
                    logger::error);
        return false;
    }
    const std::vector<int> columns = shown_columns(grid);
    std::vector<std::string> headings;
    for (int column : columns)
        headings.push_back(heading_of(grid, column));
    apply_options(*exporter, options, headings);
    if (!exporter->open()) {
        log.enqueue("Unable to export to " + exporter->file_name(), logger::error);
        return false;
    }
    log << "Begin export to " << exporter->file_name() << "\n";
    const int rows = grid.GetRowCount();
    for (int row = 0; row < rows; ++row) {
        for (int column : columns) {
            // The table's value behind the cell as the grid shows it (a row missing in main is
            // named by its backup file); rows are kept in the grid's order by the table.
            const std::string value = grid.ValueAt(column, row);
            // The grid's display text is its formatter's text of the same value.
            *exporter << (options.raw_data ? value : grid.FormatValue(column, value));
        }
        exporter->end_row();
    }
    if (!exporter->close()) {
        log.enqueue("Unable to export to " + exporter->file_name(), logger::error);
        return false;
    }
    log << "Export completed. Written " << rows << " rows\n";
    return true;
}
