#include "core/config/settings.h"

#include <utility>

namespace config {

bool settings::reload()
{
    close(false);
    return load(m_file_name);
}

void settings::callback(const change_callback& on_change)
{
    m_callback = on_change;
}

bool settings::set(const std::string& key, int value)
{
    return set(key, std::to_string(value));
}

void settings::notify(const std::string& key, const std::string& new_value, const std::string& old_value) const
{
    if (m_callback)
        m_callback(key, new_value, old_value);
}

xml_parameters::~xml_parameters()
{
    m_document.clear();
}

bool xml_parameters::load(const std::string& file_name)
{
    if (m_file_name != file_name)
        m_file_name = file_name;
    return m_document.load(file_name);
}

bool xml_parameters::close(bool save)
{
    if (save)
        m_document.save();
    m_document.clear();
    return true;
}

bool xml_parameters::save()
{
    return m_document.save();
}

bool xml_parameters::get(const std::string& key, std::string& value, bool case_sensitive)
{
    return m_document.get(key, value, case_sensitive);
}

bool xml_parameters::set(const std::string& key, const std::string& value)
{
    std::string old_value;
    if (!m_document.set(key, value, old_value))
        return false;
    if (value != old_value)
        notify(key, value, old_value);
    return true;
}

} // namespace config
