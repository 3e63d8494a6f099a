#pragma once
// The program's preferences: text values under key paths in one XML file.

#include "core/config/xml_distiller.h"

#include <functional>
#include <string>

namespace config {

class settings {
public:
    // Called with (key, new value, old value) after a set that really changed the value.
    using change_callback = std::function<void(const std::string&, const std::string&, const std::string&)>;

    settings() = default;
    virtual ~settings() = default;
    settings(const settings&) = delete;
    settings& operator=(const settings&) = delete;

    virtual bool reload();
    virtual void callback(const change_callback& on_change);
    virtual bool load(const std::string& file_name) = 0;
    virtual bool close(bool save) = 0;
    virtual bool save() = 0;
    virtual bool get(const std::string& key, std::string& value /*out*/, bool case_sensitive) = 0;
    virtual bool set(const std::string& key, const std::string& value) = 0;

    bool set(const std::string& key, int value);

    const std::string& file_name() const { return m_file_name; }

protected:
    void notify(const std::string& key, const std::string& new_value, const std::string& old_value) const;

    std::string m_file_name;
    change_callback m_callback;
};

class xml_parameters : public settings {
public:
    xml_parameters() = default;
    ~xml_parameters() override;

    using settings::set;

    bool load(const std::string& file_name) override;
    bool close(bool save) override;
    bool save() override;
    bool get(const std::string& key, std::string& value /*out*/, bool case_sensitive) override;
    bool set(const std::string& key, const std::string& value) override;

    // Why the last load or save failed (a parse error names its line and column).
    const std::string& last_error() const { return m_document.last_error(); }

private:
    xml_distiller m_document;
};

} // namespace config
