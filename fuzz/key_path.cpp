// The key-path grammar: steps and their attribute predicates, and the paths built from them.
// A key that set() takes reads back with get(), before and after a save; set on the same key
// again finds the element it made instead of making another.
#include "fuzz_support.h"

#include "core/config/xml_distiller.h"
#include "core/utils/string_utils.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
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

void check_step(const std::string& step)
{
    std::string name = "?", attribute_name, attribute_value;
    const bool predicate = xml_distiller::parse_step(step, name, attribute_name, attribute_value);
    const auto open = step.find("[@");
    FUZZ_CHECK(predicate == (open != std::string::npos), "a predicate is found exactly when \"[@\" is there: " + step);
    FUZZ_CHECK(name == (predicate ? step.substr(0, open) : step), "the name is what precedes the predicate: " + step);
    if (predicate) {
        FUZZ_CHECK(step.find(attribute_name, open + 2) == open + 2, "the attribute name follows \"[@\": " + step);
        FUZZ_CHECK(attribute_name.find('=') == std::string::npos, "the attribute name stops at '=': " + step);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string key = input.ConsumeRandomLengthString(96);
    std::string value = input.ConsumeRandomLengthString(32);
    // No text box hands a NUL to the settings, and keys are the program's own texts; a NUL in a
    // document is the data-safety work's matter.
    if (key.find('\0') != std::string::npos)
        return 0;
    value.erase(std::remove(value.begin(), value.end(), '\0'), value.end());
    const std::string second_value = "second";

    std::vector<std::string> steps;
    utils::string_utils::split(key, "/", steps);
    // A predicate without a value selects nothing for reading; set() still makes its element.
    bool readable = true;
    for (const std::string& step : steps) {
        check_step(step);
        std::string name, attribute_name, attribute_value;
        if (xml_distiller::parse_step(step, name, attribute_name, attribute_value) && attribute_value.empty())
            readable = false;
    }

    const std::string file = fuzz_support::scratch().file("keys.xml");
    xml_distiller document;
    document.create_document(file, "Tarvoline");
    std::string read, old_value;
    if (!document.set(key, value, old_value))
        return 0;
    FUZZ_CHECK(!readable || (document.get(key, read, true) && read == trimmed(value)), "a key set reads back: " + key);

    FUZZ_CHECK(document.set(key, second_value, old_value), "a key taken once is taken again: " + key);
    FUZZ_CHECK(old_value == value, "setting a key again finds the element made first: " + key);

    FUZZ_CHECK(document.save(), "a document of keys saves: " + document.last_error());
    xml_distiller reloaded;
    FUZZ_CHECK(reloaded.load(file), "a document of keys loads again: " + reloaded.last_error() + "\n" +
                                        fuzz_support::scratch_folder::read(file));
    FUZZ_CHECK(!readable || (reloaded.get(key, read, true) && read == second_value),
               "a key reads back after saving: " + key);
    return 0;
}
