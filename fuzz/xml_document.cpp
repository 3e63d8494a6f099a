// The settings document: any bytes as a file, then reads and writes through key paths, then a
// save and a second load. A document that loads must save, and what was saved must load again
// with the values that were set; one that doesn't load must be left on disk as it was.
#include "fuzz_support.h"

#include "core/config/xml_distiller.h"
#include "core/utils/string_utils.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string trimmed(std::string text)
{
    utils::string_utils::trim_left(text);
    utils::string_utils::trim_right(text);
    return text;
}

bool has_one_child_at_most(const xml_distiller& document, const std::string& key)
{
    std::vector<std::string> steps;
    utils::string_utils::split(key, "/", steps);
    const xml_distiller::node* current = &document.document();
    for (const std::string& step : steps) {
        std::string name, attribute_name, attribute_value;
        xml_distiller::parse_step(step, name, attribute_name, attribute_value);
        current = xml_distiller::find_child(current, name, attribute_name, attribute_value, true);
        if (!current)
            return false;
    }
    return !current->first_node() || !current->first_node()->next_sibling();
}

std::string without_nul(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string file = fuzz_support::scratch().file("settings.xml");
    fuzz_support::scratch_folder::write(file, data, size);

    xml_distiller document;
    if (!document.load(file)) {
        FUZZ_CHECK(!document.last_error().empty(), "a refused load says why");
        FUZZ_CHECK(!document.save(), "a document that did not load is not saved over its file");
        FUZZ_CHECK(fuzz_support::scratch_folder::read(file) == input, "the unreadable file is left as it was");
        return 0;
    }

    std::string value;
    for (const char* key : { "Tarvoline/Config/LogEnabled", "Tarvoline/Export/File[@type='XML']",
                             "tarvoline/config/logpath", "Scripts/Script[@name=\"MergeDifferences\"]/Text" }) {
        document.get(key, value, true);
        document.get(key, value, false);
    }
    std::vector<xml_distiller::node*> nodes;
    document.select_nodes("Tarvoline/Export/File", nodes, "type", "CSV");
    document.select_nodes("Scripts/Script", nodes, std::string(), std::string());

    // Keys and the value come from the input too: its first line names a key, its first bytes
    // are the value.
    // Keys are the program's own texts and values come from text boxes: neither holds a NUL.
    const std::string own_key = without_nul(input.substr(0, std::min(input.find('\n'), std::size_t { 64 })));
    const std::string new_value = without_nul(input.substr(0, std::min(size, std::size_t { 24 })));
    std::vector<std::string> keys { "Tarvoline/Config/LogEnabled", "Tarvoline/Export/File[@type='XML']",
                                    "Fuzz/Added[@name='value']" };
    keys.push_back(own_key);
    std::vector<std::string> written;
    for (const std::string& key : keys) {
        std::string old_value;
        if (!document.set(key, new_value, old_value))
            continue;
        FUZZ_CHECK(document.get(key, value, true) && value == trimmed(new_value), "a value set reads back: " + key);
        written.push_back(key);
    }
    // The printer puts the children of an element with mixed content on lines of their own,
    // indented, and markup the parser skipped ("<!X ...>") is gone: texts of such elements come
    // back with blanks, or joined to their neighbours. Only plain ones are compared after saving.
    written.erase(std::remove_if(written.begin(), written.end(),
                                 [&document](const std::string& key) { return !has_one_child_at_most(document, key); }),
                  written.end());

    FUZZ_CHECK(document.save(), "a loaded document saves: " + document.last_error());
    xml_distiller reloaded;
    FUZZ_CHECK(reloaded.load(file), "what was saved loads again: " + reloaded.last_error() + "\n" +
                                        fuzz_support::scratch_folder::read(file));
    for (const std::string& key : written) {
        FUZZ_CHECK(reloaded.get(key, value, true) && value == trimmed(new_value),
                   "a value written reads back after saving: " + key);
    }
    return 0;
}
