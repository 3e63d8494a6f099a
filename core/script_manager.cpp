#include "core/script_manager.h"

#include "core/utils/string_utils.h"

#include <boost/algorithm/string/replace.hpp>

#include <vector>

namespace {

using node = xml_distiller::node;

bool is_element(const node* candidate, const std::string& name)
{
    return candidate->type() == rapidxml::node_element &&
           utils::string_utils::compare_no_case(std::string(candidate->name(), candidate->name_size()), name) == 0;
}

// The first attribute called `name` in any letter case; null when there is none.
const rapidxml::xml_attribute<char>* name_attribute(const node* element)
{
    for (auto* attribute = element->first_attribute(); attribute; attribute = attribute->next_attribute()) {
        if (utils::string_utils::compare_no_case(std::string(attribute->name(), attribute->name_size()), "name") == 0)
            return attribute;
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
            const node* holder = xml_distiller::text_node(text_element);
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
    m_last_error.clear();
    // A file whose root is some other element gets no second root beside it: the file would no
    // longer load.
    const node* const scripts_root =
        xml_distiller::find_child(&m_document.document(), "Scripts", std::string(), std::string(), false);
    for (const node* top = m_document.document().first_node(); top && !scripts_root; top = top->next_sibling()) {
        if (top->type() == rapidxml::node_element) {
            m_last_error = m_document.file_name() + " is not a scripts repository: its root element is " +
                           std::string(top->name(), top->name_size());
            return false;
        }
    }
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

        m_document.set_text(text_element, text);
    }
    if (!m_document.save()) {
        m_last_error = m_document.last_error();
        return false;
    }
    return true;
}
