#include "core/config/xml_distiller.h"

#include "core/utils/string_utils.h"

#include <rapidxml/rapidxml_print.hpp>

#include <boost/filesystem.hpp>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using utils::string_utils::compare_no_case;

std::vector<std::string> split_path(const std::string& path)
{
    std::vector<std::string> steps;
    utils::string_utils::split(path, "/", steps);
    return steps;
}

char fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equal_text(const char* text, std::size_t size, const std::string& wanted, bool case_sensitive)
{
    if (size != wanted.size())
        return false;
    for (std::size_t i = 0; i < size; ++i) {
        if (case_sensitive ? text[i] != wanted[i] : fold(text[i]) != fold(wanted[i]))
            return false;
    }
    return true;
}

bool has_name(const xml_distiller::node* element, const std::string& name, bool case_sensitive)
{
    return element->type() == rapidxml::node_element &&
           equal_text(element->name(), element->name_size(), name, case_sensitive);
}

// Elements and attributes the printer writes must parse again; a name such as "" or "a b"
// would turn the whole file unreadable.
bool is_usable_name(const std::string& name)
{
    if (name.empty())
        return false;
    for (char c : name) {
        if (std::isspace(static_cast<unsigned char>(c)) || std::strchr("<>&\"'=/![]?", c))
            return false;
    }
    return true;
}

// Skips to just past `end`, or to the end of the text.
const char* skip_past(const char* from, const char* last, const char* end)
{
    const std::size_t length = std::strlen(end);
    for (; from + length <= last; ++from) {
        if (std::memcmp(from, end, length) == 0)
            return from + length;
    }
    return last;
}

// Whether elements nest deeper than `limit`, found in one pass before the parser (which recurses
// once per level) sees the text. Comments, CDATA, processing instructions, declarations and
// quoted attribute values are stepped over; anything malformed is left to the parser.
bool nested_deeper_than(const char* text, const char* last, std::size_t limit)
{
    std::size_t depth = 0;
    const char* at = text;
    while (at < last) {
        at = static_cast<const char*>(std::memchr(at, '<', static_cast<std::size_t>(last - at)));
        if (!at)
            return false;
        const std::size_t left = static_cast<std::size_t>(last - at);
        if (left >= 4 && std::memcmp(at, "<!--", 4) == 0) {
            at = skip_past(at + 4, last, "-->");
        } else if (left >= 9 && std::memcmp(at, "<![CDATA[", 9) == 0) {
            at = skip_past(at + 9, last, "]]>");
        } else if (left >= 2 && at[1] == '?') {
            at = skip_past(at + 2, last, "?>");
        } else if (left >= 2 && at[1] == '!') {
            int brackets = 0;
            for (++at; at < last && (*at != '>' || brackets > 0); ++at)
                brackets += *at == '[' ? 1 : (*at == ']' ? -1 : 0);
            ++at;
        } else if (left >= 2 && at[1] == '/') {
            if (depth > 0)
                --depth;
            at = skip_past(at + 2, last, ">");
        } else {
            char quote = 0;
            for (++at; at < last && (quote || *at != '>'); ++at) {
                if (quote && *at == quote)
                    quote = 0;
                else if (!quote && (*at == '"' || *at == '\''))
                    quote = *at;
            }
            if (at < last && at[-1] != '/' && ++depth > limit)
                return true;
            ++at;
        }
    }
    return false;
}

// After the root element XML allows only comments, processing instructions and white space;
// the parser takes a second element as well.
bool holds_one_root(const xml_distiller::document_type& document)
{
    bool root_seen = false;
    for (const auto* child = document.first_node(); child; child = child->next_sibling()) {
        switch (child->type()) {
        case rapidxml::node_element:
            if (root_seen)
                return false;
            root_seen = true;
            break;
        case rapidxml::node_comment:
        case rapidxml::node_pi:
            break;
        case rapidxml::node_declaration:
        case rapidxml::node_doctype:
            if (root_seen)
                return false;
            break;
        default:
            return false;
        }
    }
    return true;
}

std::string position_of(const std::vector<char>& text, const char* where)
{
    if (!where || where < text.data() || where > text.data() + text.size())
        return std::string();
    unsigned line = 1, column = 1;
    for (const char* p = text.data(); p < where; ++p) {
        if (*p == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return " at line " + std::to_string(line) + ", column " + std::to_string(column);
}

// A predicate without a value never selects anything for reading, but set() makes its element
// with the attribute empty; finding that element again keeps every further set from adding one
// more copy of it to the file.
xml_distiller::node* find_child_with_empty_attribute(const xml_distiller::node* parent, const std::string& name,
                                                     const std::string& attribute_name)
{
    for (xml_distiller::node* child = parent->first_node(); child; child = child->next_sibling()) {
        if (!has_name(child, name, true))
            continue;
        for (auto* attribute = child->first_attribute(); attribute; attribute = attribute->next_attribute()) {
            if (attribute->value_size() == 0 &&
                equal_text(attribute->name(), attribute->name_size(), attribute_name, true))
                return child;
        }
    }
    return nullptr;
}

// The parser gives an element the value of its first text node but not of a CDATA section, so
// a text loaded (or saved) as CDATA is read from the section itself.
const xml_distiller::node* shown_text(const xml_distiller::node* element)
{
    const xml_distiller::node* holder = xml_distiller::text_node(element);
    if (holder && holder->type() == rapidxml::node_cdata && element->value_size() == 0)
        return holder;
    return element;
}

bool follows_the_root(const xml_distiller::node* top_level)
{
    if (top_level->parent() != top_level->document())
        return false;
    for (const auto* before = top_level->previous_sibling(); before; before = before->previous_sibling()) {
        if (before->type() == rapidxml::node_element)
            return true;
    }
    return false;
}

// Processing instructions after parsing, mended or refused. The parser ends an instruction's
// name by writing a terminator over the character after it; when the value starts right there
// ("<?name?value?>"), that first character becomes a NUL, and a save would write a file that
// no longer loads: the character comes back from the text as it was read. An instruction
// named "xml" in any letter case would be written back as a declaration, one that doesn't parse
// or one in a place a declaration may not stand; the name is reserved, so such a document is
// refused, as is one whose character references decode to NUL. Answers the reason of a refusal,
// or "".
std::string settle_instructions(xml_distiller& document, const std::vector<char>& parsed,
                                const std::vector<char>& original)
{
    xml_distiller::node* const root = &document.document();
    for (xml_distiller::node* current = root->first_node(); current;) {
        if (current->type() == rapidxml::node_pi) {
            // The printer writes a declaration without attributes as "<?xml?>", which reads back
            // as an instruction with no value, and such an instruction as "<?xml ?>", which reads
            // back as a declaration. Only one with a value, or one after the root element where
            // a declaration is malformed, would not survive.
            if (equal_text(current->name(), current->name_size(), "XML", false) &&
                (current->value_size() > 0 || follows_the_root(current)))
                return "the instruction name \"" + std::string(current->name(), current->name_size()) +
                       "\" is reserved" + position_of(original, original.data() + (current->name() - parsed.data()));
            if (current->value_size() > 0 && current->value() == current->name() + current->name_size()) {
                std::string value(current->value(), current->value_size());
                value[0] = original[static_cast<std::size_t>(current->value() - parsed.data())];
                current->value(document.pool_copy(value), value.size());
            }
        }
        // "&#0;" or "&#x;" decodes to a NUL, which a save would write into the file raw.
        bool decoded_nul = std::memchr(current->value(), '\0', current->value_size()) != nullptr;
        for (auto* attribute = current->first_attribute(); attribute && !decoded_nul;
             attribute = attribute->next_attribute())
            decoded_nul = std::memchr(attribute->value(), '\0', attribute->value_size()) != nullptr;
        if (decoded_nul)
            return "a character reference stands for NUL in " +
                   std::string(current->type() == rapidxml::node_element ? current->name() : "a text",
                               current->type() == rapidxml::node_element ? current->name_size() : 6);
        if (xml_distiller::node* child = current->first_node()) {
            current = child;
            continue;
        }
        while (current != root && !current->next_sibling())
            current = current->parent();
        current = current != root ? current->next_sibling() : nullptr;
    }
    return std::string();
}

bool has_root_element(const xml_distiller::document_type& document)
{
    for (const xml_distiller::node* child = document.first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_element)
            return true;
    }
    return false;
}

} // namespace

bool xml_distiller::load(const std::string& file_name)
{
    m_file_name = file_name;
    m_last_error.clear();
    m_malformed = false;
    m_file_not_loaded = false;

    boost::system::error_code ec;
    const auto status = boost::filesystem::status(file_name, ec);
    if (boost::filesystem::exists(status) && !boost::filesystem::is_regular_file(status)) {
        m_last_error = file_name + " is not a regular file";
        return false;
    }
    std::ifstream in(file_name, std::ios::binary);
    if (!in.good()) {
        const int reason = errno;
        m_last_error = "cannot open " + file_name + " for reading: " + std::strerror(reason);
        // A file that exists but cannot be read still holds the user's data.
        m_file_not_loaded = boost::filesystem::exists(status);
        return false;
    }
    std::vector<char> text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        m_last_error = "cannot read " + file_name;
        m_file_not_loaded = true;
        return false;
    }
    const auto refuse = [this, &file_name](const std::string& why) {
        m_last_error = file_name + ": " + why;
        m_document.clear();
        m_malformed = true;
        m_file_not_loaded = true;
        return false;
    };
    // The parser would stop at a NUL and take the rest for missing: the next save would then
    // write the file back without it.
    text.push_back('\0');
    const char* const end = text.data() + text.size() - 1;
    if (const void* nul = std::memchr(text.data(), '\0', text.size() - 1))
        return refuse("holds a NUL byte" + position_of(text, static_cast<const char*>(nul)));
    if (nested_deeper_than(text.data(), end, max_depth))
        return refuse("elements are nested deeper than " + std::to_string(max_depth) + " levels");
    m_text = text;
    try {
        m_document.parse<rapidxml::parse_full>(m_text.data());
    } catch (const rapidxml::parse_error& error) {
        return refuse(error.what() + position_of(m_text, error.where<char>()));
    }
    if (!holds_one_root(m_document))
        return refuse("there is more than comments after the root element");
    const std::string refused = settle_instructions(*this, m_text, text);
    if (!refused.empty())
        return refuse(refused);
    return true;
}

bool xml_distiller::save()
{
    return save_text(print());
}

std::string xml_distiller::print() const
{
    std::string content;
    rapidxml::print(std::back_inserter(content), m_document);
    return content;
}

bool xml_distiller::save_text(const std::string& content)
{
    if (m_file_not_loaded) {
        const char* reason = m_malformed ? "it is not well-formed XML" : "it could not be read";
        m_last_error = m_file_name + " was not loaded (" + reason + "); it is left as it is";
        return false;
    }
    if (m_file_name.empty()) {
        m_last_error = "no file name to save to";
        return false;
    }
    return write_file(content);
}

bool xml_distiller::write_file(const std::string& content)
{
    namespace bfs = boost::filesystem;
    m_last_error.clear();
    boost::system::error_code ec;
    bfs::path target(m_file_name);
    // Saving through a link replaces the file it points at, not the link.
    if (bfs::is_symlink(bfs::symlink_status(target, ec))) {
        target = bfs::canonical(target, ec);
        if (ec) {
            m_last_error = "cannot resolve " + m_file_name + ": " + ec.message();
            return false;
        }
    }
    const auto status = bfs::status(target, ec);
    const bool target_exists = bfs::exists(status);
    if (target_exists && ::access(target.c_str(), W_OK) != 0) {
        m_last_error = "cannot open " + m_file_name + " for writing: " + std::strerror(errno);
        return false;
    }

    auto write_all = [&content](int descriptor) {
        const char* data = content.data();
        std::size_t left = content.size();
        while (left > 0) {
            const ssize_t written = ::write(descriptor, data, left);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            left -= static_cast<std::size_t>(written);
        }
        return true;
    };

    // A device or pipe is written directly: renaming over it would replace the node itself.
    if (target_exists && !bfs::is_regular_file(status)) {
        const int descriptor = ::open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        if (descriptor < 0) {
            m_last_error = "cannot open " + m_file_name + " for writing: " + std::strerror(errno);
            return false;
        }
        const bool written = write_all(descriptor);
        const int saved_errno = errno;
        if (::close(descriptor) != 0 || !written) {
            m_last_error = "cannot write " + m_file_name + ": " + std::strerror(written ? errno : saved_errno);
            return false;
        }
        return true;
    }

    std::string temporary = target.string() + ".tmp-XXXXXX";
    const int descriptor = ::mkstemp(&temporary[0]);
    if (descriptor < 0) {
        m_last_error = "cannot create a temporary file beside " + m_file_name + ": " + std::strerror(errno);
        return false;
    }
    // The saved file keeps the permissions of the one it replaces; a new file gets the usual ones.
    mode_t mode = 0666;
    if (target_exists) {
        mode = static_cast<mode_t>(status.permissions()) & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode &= ~mask;
    }
    bool ok = ::fchmod(descriptor, mode) == 0 && write_all(descriptor) && ::fsync(descriptor) == 0;
    int failure = ok ? 0 : errno;
    if (::close(descriptor) != 0 && ok) {
        ok = false;
        failure = errno;
    }
    if (ok && ::rename(temporary.c_str(), target.c_str()) != 0) {
        ok = false;
        failure = errno;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        m_last_error = "cannot write " + m_file_name + ": " + std::strerror(failure);
        return false;
    }
    return true;
}

xml_distiller::node* xml_distiller::create_document(const std::string& file_name, const std::string& root_name)
{
    clear();
    m_malformed = false;
    m_file_not_loaded = false;
    m_last_error.clear();
    m_file_name = file_name;
    node* declaration = m_document.allocate_node(rapidxml::node_declaration);
    m_document.append_node(declaration);
    append_attribute(declaration, "version", "1.0");
    append_attribute(declaration, "encoding", "utf-8");
    return append_element(&m_document, root_name);
}

bool xml_distiller::get(const std::string& key, std::string& value, bool case_sensitive) const
{
    value.clear();
    const auto steps = split_path(key);
    if (steps.empty())
        return false;
    const node* current = &m_document;
    for (const auto& step : steps) {
        std::string name, attribute_name, attribute_value;
        parse_step(step, name, attribute_name, attribute_value);
        current = find_child(current, name, attribute_name, attribute_value, case_sensitive);
        if (!current)
            return false;
    }
    current = shown_text(current);
    value.assign(current->value(), current->value_size());
    utils::string_utils::trim_left(value);
    utils::string_utils::trim_right(value);
    return true;
}

bool xml_distiller::set(const std::string& key, const std::string& value, std::string& old_value)
{
    old_value.clear();
    const auto steps = split_path(key);
    if (steps.empty())
        return false;
    if (steps.size() > max_depth) {
        m_last_error = "key " + key.substr(0, 80) + "... is deeper than " + std::to_string(max_depth) + " levels";
        return false;
    }

    struct parsed_step {
        std::string name, attribute_name, attribute_value;
    };
    std::vector<parsed_step> parsed(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        auto& step = parsed[i];
        const bool predicate = parse_step(steps[i], step.name, step.attribute_name, step.attribute_value);
        if (!is_usable_name(step.name) || (predicate && !is_usable_name(step.attribute_name))) {
            m_last_error = "unusable key " + key;
            return false;
        }
    }

    node* current = &m_document;
    std::size_t index = 0;
    for (; index < parsed.size(); ++index) {
        node* child = parsed[index].attribute_value.empty() && !parsed[index].attribute_name.empty()
                          ? find_child_with_empty_attribute(current, parsed[index].name, parsed[index].attribute_name)
                          : find_child(current, parsed[index].name, parsed[index].attribute_name,
                                       parsed[index].attribute_value, true);
        if (!child)
            break;
        current = child;
    }

    // A document has one root element; a second one would make the saved file unreadable.
    if (index == 0 && has_root_element(m_document)) {
        m_last_error = "key " + key + " is outside the root element";
        return false;
    }
    if (index < parsed.size()) {
        for (; index < parsed.size(); ++index) {
            current = append_element(current, parsed[index].name);
            if (!parsed[index].attribute_name.empty())
                append_attribute(current, parsed[index].attribute_name, parsed[index].attribute_value);
        }
        current->value(pool_copy(value), value.size());
        return true;
    }

    const node* shown = shown_text(current);
    old_value.assign(shown->value(), shown->value_size());
    set_text(current, value);
    return true;
}

void xml_distiller::set_text(node* element, const std::string& value)
{
    char* text = pool_copy(value);
    element->value(text, value.size());
    // The parser drops a plain text of blanks alone (such as one read from "&#9;"), so a save
    // would lose it; a CDATA section keeps it.
    const bool blanks_only = !value.empty() && value.find_first_not_of(" \t\r\n") == std::string::npos;
    if (node* holder = text_node(element)) {
        // A CDATA section cannot hold "]]>"; such a text is written as escaped plain text.
        if (holder->type() == rapidxml::node_cdata && value.find("]]>") != std::string::npos)
            holder->type(rapidxml::node_data);
        else if (blanks_only)
            holder->type(rapidxml::node_cdata);
        holder->value(text, value.size());
    } else if (element->first_node() || blanks_only) {
        node* data = m_document.allocate_node(blanks_only ? rapidxml::node_cdata : rapidxml::node_data);
        data->value(text, value.size());
        element->append_node(data);
    }
}

xml_distiller::node* xml_distiller::text_node(const node* element)
{
    for (node* child = element->first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_data || child->type() == rapidxml::node_cdata)
            return child;
    }
    return nullptr;
}

bool xml_distiller::select_nodes(const std::string& path, std::vector<node*>& nodes,
                                 const std::string& attribute_name, const std::string& attribute_value) const
{
    const auto steps = split_path(path);
    if (steps.size() < 2)
        return true;
    node* current = find_child(&m_document, steps.front(), std::string(), std::string(), false);
    if (!current || !has_name(current, steps.front(), true))
        return true;
    for (std::size_t i = 1; i + 1 < steps.size(); ++i) {
        current = find_child(current, steps[i], std::string(), std::string(), false);
        if (!current)
            return true;
    }
    std::string name, step_attribute, step_value;
    if (parse_step(steps.back(), name, step_attribute, step_value)) {
        if (node* found = find_child(current, name, step_attribute, step_value, false))
            nodes.push_back(found);
        return true;
    }
    node* found = find_child(current, name, attribute_name, attribute_value, false);
    for (; found; found = found->next_sibling()) {
        if (has_name(found, name, false))
            nodes.push_back(found);
    }
    return true;
}

xml_distiller::node* xml_distiller::find_child(const node* parent, const std::string& name,
                                               const std::string& attribute_name,
                                               const std::string& attribute_value, bool case_sensitive)
{
    if (!parent)
        return nullptr;
    for (node* child = parent->first_node(); child; child = child->next_sibling()) {
        if (!has_name(child, name, case_sensitive))
            continue;
        if (attribute_name.empty())
            return child;
        if (attribute_value.empty())
            return nullptr;
        for (auto* attribute = child->first_attribute(); attribute; attribute = attribute->next_attribute()) {
            if (equal_text(attribute->name(), attribute->name_size(), attribute_name, case_sensitive) &&
                compare_no_case(std::string(attribute->value(), attribute->value_size()), attribute_value) == 0)
                return child;
        }
    }
    return nullptr;
}

bool xml_distiller::parse_step(const std::string& step, std::string& name, std::string& attribute_name,
                               std::string& attribute_value)
{
    const auto open = step.find("[@");
    if (open == std::string::npos) {
        name = step;
        return false;
    }
    name = step.substr(0, open);
    const auto attribute_start = open + 2;
    const auto equals = step.find('=', attribute_start);
    if (equals == std::string::npos) {
        const auto close = step.find(']', attribute_start);
        attribute_name = step.substr(attribute_start, close == std::string::npos ? std::string::npos
                                                                                  : close - attribute_start);
        return true;
    }
    attribute_name = step.substr(attribute_start, equals - attribute_start);
    const auto close = step.find(']', equals + 1);
    std::string value = step.substr(equals + 1, close == std::string::npos ? std::string::npos : close - equals - 1);
    if (!value.empty() && (value.front() == '"' || value.front() == '\''))
        value.erase(0, 1);
    if (!value.empty() && (value.back() == '"' || value.back() == '\''))
        value.pop_back();
    attribute_value = value;
    return true;
}

void xml_distiller::clear()
{
    m_document.clear();
}

xml_distiller::node* xml_distiller::append_element(node* parent, const std::string& name, const std::string& value)
{
    node* element = m_document.allocate_node(rapidxml::node_element, pool_copy(name), nullptr, name.size(), 0);
    if (!value.empty())
        element->value(pool_copy(value), value.size());
    parent->append_node(element);
    return element;
}

void xml_distiller::append_attribute(node* element, const std::string& name, const std::string& value)
{
    element->append_attribute(
        m_document.allocate_attribute(pool_copy(name), pool_copy(value), name.size(), value.size()));
}

char* xml_distiller::pool_copy(const std::string& text)
{
    return m_document.allocate_string(text.c_str(), text.size() + 1);
}
