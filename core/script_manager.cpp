#include "core/script_manager.h"

#include "core/utils/string_utils.h"

#include <boost/algorithm/string/replace.hpp>

#include <vector>

namespace {

using node = xml_distiller::node;

char fold(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equal_no_case(const char* text, std::size_t size, const std::string& wanted)
{
    if (size != wanted.size())
        return false;
    for (std::size_t i = 0; i < size; ++i) {
        if (fold(text[i]) != fold(wanted[i]))
            return false;
    }
    return true;
}

bool is_element(const node* candidate, const std::string& name)
{
    return candidate->type() == rapidxml::node_element &&
           equal_no_case(candidate->name(), candidate->name_size(), name);
}

// The first attribute called `name` in any letter case; null when there is none.
const rapidxml::xml_attribute<char>* name_attribute(const node* element)
{
    for (auto* attribute = element->first_attribute(); attribute; attribute = attribute->next_attribute()) {
        if (equal_no_case(attribute->name(), attribute->name_size(), "name"))
            return attribute;
    }
    return nullptr;
}

// The SQL sits in the first text node or CDATA section; a comment before it is not the text.
node* text_holder(const node* text_element)
{
    for (node* child = text_element->first_node(); child; child = child->next_sibling()) {
        if (child->type() == rapidxml::node_data || child->type() == rapidxml::node_cdata)
            return child;
    }
    return nullptr;
}

} // namespace

std::string script_manager::script::expanded_text() const
{
    std::string expanded = m_text;
    for (const auto& parameter : m_parameters)
        boost::algorithm::replace_all(expanded, "{?" + parameter.first + "}", parameter.second);
    return expanded;
}

bool script_manager::script::add_parameter(const std::string& name)
{
    return m_parameters.emplace(name, std::string()).second;
}

bool script_manager::load(const std::string& file_name, std::string& error)
{
    if (!m_document.load(file_name)) {
        error = "Unable to load script repository " + file_name;
        // A parse error says where the file is broken; the plain text stays for a missing file.
        if (m_document.malformed())
            error += ": " + m_document.last_error();
        return false;
    }
    std::vector<node*> elements;
    m_document.select_nodes("Scripts/Script", elements, std::string(), std::string());
    for (node* element : elements) {
        const auto* name = name_attribute(element);
        const node* text_element = xml_distiller::find_child(element, "Text", std::string(), std::string(), false);
        // A Script without a name or a Text cannot be addressed or run; it is skipped.
        if (!name || !text_element)
            continue;
        const std::string script_name(name->value(), name->value_size());
        auto known = m_scripts.find(script_name);
        if (known == m_scripts.end()) {
            const node* holder = text_holder(text_element);
            std::string text = holder ? std::string(holder->value(), holder->value_size()) : std::string();
            known = m_scripts.emplace(script_name, std::make_unique<script>(std::move(text))).first;
        }
        for (node* parameter = xml_distiller::find_child(element, "Parameter", std::string(), std::string(), false);
             parameter; parameter = parameter->next_sibling()) {
            if (!is_element(parameter, "Parameter"))
                continue;
            if (const auto* parameter_name = name_attribute(parameter))
                known->second->add_parameter(std::string(parameter_name->value(), parameter_name->value_size()));
        }
    }
    return true;
}

bool script_manager::get_text(const std::string& name, std::string& text) const
{
    const script* found = find_script(name);
    if (!found)
        return false;
    text = found->text();
    return true;
}

bool script_manager::get_expanded_text(const std::string& name, std::string& sql) const
{
    const script* found = find_script(name);
    if (!found)
        return false;
    sql = found->expanded_text();
    return true;
}

script_manager::script* script_manager::add_script(const std::string& name)
{
    auto inserted = m_scripts.emplace(name, nullptr);
    if (!inserted.second)
        return nullptr;
    inserted.first->second = std::make_unique<script>();
    return inserted.first->second.get();
}

script_manager::script* script_manager::find_script(const std::string& name) const
{
    const auto found = m_scripts.find(name);
    return found == m_scripts.end() ? nullptr : found->second.get();
}

bool script_manager::save()
{
    for (const auto& entry : m_scripts) {
        const std::string& name = entry.first;
        const std::string text = entry.second->text();

        // The name is compared directly rather than spliced into a key path, so a name holding
        // "]" or "/" still finds its own element.
        node* element = nullptr;
        std::vector<node*> candidates;
        m_document.select_nodes("Scripts/Script", candidates, std::string(), std::string());
        for (node* candidate : candidates) {
            const auto* candidate_name = name_attribute(candidate);
            if (candidate_name &&
                utils::string_utils::compare_no_case(
                    std::string(candidate_name->value(), candidate_name->value_size()), name) == 0) {
                element = candidate;
                break;
            }
        }

        node* text_element = nullptr;
        if (element) {
            text_element = xml_distiller::find_child(element, "Text", std::string(), std::string(), false);
        } else {
            node* root = xml_distiller::find_child(&m_document.document(), "Scripts", std::string(), std::string(),
                                                   false);
            if (!root)
                root = m_document.append_element(&m_document.document(), "Scripts");
            element = m_document.append_element(root, "Script");
            m_document.append_attribute(element, "name", name);
        }
        if (!text_element) {
            text_element = m_document.append_element(element, "Text");
            text_element->append_node(m_document.document().allocate_node(rapidxml::node_cdata));
        }

        char* copy = m_document.pool_copy(text);
        if (node* holder = text_holder(text_element)) {
            // A CDATA section cannot hold "]]>"; such a text is written as escaped plain text.
            if (holder->type() == rapidxml::node_cdata && text.find("]]>") != std::string::npos)
                holder->type(rapidxml::node_data);
            holder->value(copy, text.size());
            if (holder->type() == rapidxml::node_data)
                text_element->value(copy, text.size());
        } else {
            text_element->value(copy, text.size());
            if (text_element->first_node()) {
                node* data = m_document.document().allocate_node(rapidxml::node_data);
                data->value(copy, text.size());
                text_element->append_node(data);
            }
        }
    }
    return m_document.save();
}
