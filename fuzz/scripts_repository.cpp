// The scripts repository: any bytes as the repository file, then every script expanded, one
// script added, a save and a second load. Every script known before the save is found after it
// with the same text.
#include "fuzz_support.h"

#include "core/script_manager.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace {

std::string folded(std::string name)
{
    for (char& c : name) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return name;
}

bool named(const xml_distiller::node* element, const char* name)
{
    return element->type() == rapidxml::node_element &&
           folded(std::string(element->name(), element->name_size())) == folded(name);
}

// Scripts whose Text element holds more than its one text: the printer puts the children of such
// an element on lines of their own, indented, so blanks join the text, and markup the parser
// skipped ("<!X ...>") is gone, joining two texts into one. Those texts are left out of the
// comparison; every other text must come back byte for byte.
std::set<std::string> names_with_mixed_text(const xml_distiller& document)
{
    std::set<std::string> names;
    for (const auto* root = document.document().first_node(); root; root = root->next_sibling()) {
        if (!named(root, "Scripts"))
            continue;
        for (const auto* script = root->first_node(); script; script = script->next_sibling()) {
            if (!named(script, "Script"))
                continue;
            for (const auto* attribute = script->first_attribute(); attribute; attribute = attribute->next_attribute()) {
                if (folded(std::string(attribute->name(), attribute->name_size())) != "NAME")
                    continue;
                for (const auto* text = script->first_node(); text; text = text->next_sibling()) {
                    if (named(text, "Text") && text->first_node() && text->first_node()->next_sibling())
                        names.insert(std::string(attribute->value(), attribute->value_size()));
                }
                break;
            }
        }
    }
    return names;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string file = fuzz_support::scratch().file("scripts.xml");
    fuzz_support::scratch_folder::write(file, data, size);

    script_manager repository;
    std::string error;
    if (!repository.load(file, error)) {
        FUZZ_CHECK(!error.empty(), "a refused load says why");
        FUZZ_CHECK(!repository.save(), "a repository that did not load is not saved over its file");
        FUZZ_CHECK(fuzz_support::scratch_folder::read(file) == input, "the unreadable file is left as it was");
        return 0;
    }

    std::string text;
    for (const auto& entry : repository.scripts()) {
        FUZZ_CHECK(repository.get_expanded_text(entry.first, text), "a listed script expands: " + entry.first);
        // Expansion only removes declared references.
        FUZZ_CHECK(text.size() <= entry.second->text().size(), "expansion with empty values grows nothing");
    }

    // A script named and written by the input: the name is its first line, the text all of it.
    const std::string name = "Fuzz " + input.substr(0, std::min(input.find('\n'), std::size_t { 40 }));
    if (script_manager::script* added = repository.add_script(name)) {
        added->set_text(input);
        added->add_parameter("path");
    }

    // Names that differ only in letter case share one element when saved, the last written
    // winning (see the scripts repository tests); their texts are left out of the comparison.
    std::map<std::string, int> folded_names;
    for (const auto& entry : repository.scripts())
        ++folded_names[folded(entry.first)];
    const std::set<std::string> mixed = names_with_mixed_text(repository.document());
    std::map<std::string, std::string> before;
    for (const auto& entry : repository.scripts()) {
        if (folded_names[folded(entry.first)] == 1 && mixed.count(entry.first) == 0)
            before[entry.first] = entry.second->text();
    }
    if (!repository.save()) {
        // Only a file that isn't a repository is refused, and it is left as it was.
        FUZZ_CHECK(repository.last_error().find("is not a scripts repository") != std::string::npos,
                   "a loaded repository saves: " + repository.last_error());
        FUZZ_CHECK(fuzz_support::scratch_folder::read(file) == input, "the refused file is left as it was");
        return 0;
    }

    script_manager reloaded;
    FUZZ_CHECK(reloaded.load(file, error), "what was saved loads again: " + error);
    for (const auto& entry : before) {
        FUZZ_CHECK(reloaded.get_text(entry.first, text), "a script is found after saving: " + entry.first);
        FUZZ_CHECK(text == entry.second, "a script keeps its text after saving: " + entry.first +
                       "\nbefore: " + entry.second + "\nafter: " + text);
    }
    return 0;
}
