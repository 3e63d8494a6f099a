#pragma once
// The scripts repository: named SQL scripts with their parameters, kept in an XML file
// <Scripts><Script name="..."><Text>...</Text><Parameter name="..."/></Script></Scripts>.

#include "core/config/xml_distiller.h"
#include "core/utils/string_utils.h"

#include <map>
#include <memory>
#include <string>
#include <utility>

class script_manager {
public:
    class script {
    public:
        script() = default;
        explicit script(std::string text) : m_text(std::move(text)) { }
        virtual ~script() = default;

        std::string text() const { return m_text; }
        void set_text(const std::string& text) { m_text = text; }
        // Replaces every "{?name}" of a declared parameter by its value.
        std::string expanded_text() const;
        // False when the name is already declared.
        bool add_parameter(const std::string& name);
        const std::map<std::string, std::string>& parameters() const { return m_parameters; }

    private:
        std::string m_text;
        std::map<std::string, std::string> m_parameters;
    };

    // Names are compared without regard to letter case: "mergedifferences" is "MergeDifferences".
    using script_map = std::map<std::string, std::unique_ptr<script>, utils::string_utils::less_no_case>;

    script_manager() = default;
    virtual ~script_manager() = default;
    script_manager(const script_manager&) = delete;
    script_manager& operator=(const script_manager&) = delete;

    // False when the file cannot be read or parsed; scripts already known keep their texts.
    bool load(const std::string& file_name, std::string& error /*out*/);
    bool get_text(const std::string& name, std::string& text /*out*/) const;
    bool get_expanded_text(const std::string& name, std::string& sql /*out*/) const;
    // The new empty script, or null when the name is taken.
    script* add_script(const std::string& name);
    // Writes every script's text into its element of the repository file; false, with the
    // reason in last_error(), when the file can't be written or isn't a scripts repository.
    bool save();
    const std::string& last_error() const { return m_last_error; }

    // Null when no script has that name.
    script* find_script(const std::string& name) const;
    const script_map& scripts() const { return m_scripts; }
    const xml_distiller& document() const { return m_document; }

private:
    xml_distiller m_document;
    script_map m_scripts;
    std::string m_last_error;
};
