#include "core/utils/version.h"

#include "core/utils/string_utils.h"

#include <ostream>
#include <sstream>

namespace utils {

version::version(const std::string& text, const char& separator)
{
    std::vector<std::string> pieces;
    string_utils::split(text, std::string(1, separator), pieces);
    for (std::size_t i = 0; i < pieces.size() && i < components_.size(); ++i) {
        string_utils::trim_left(pieces[i]);
        string_utils::trim_right(pieces[i]);
        components_[i] = pieces[i];
    }
}

std::string version::to_string() const
{
    std::ostringstream out;
    out << *this;
    return out.str();
}

bool version::operator<=(const version& other) const
{
    for (std::size_t i = 0; i < components_.size(); ++i) {
        if (components_[i] != other.components_[i])
            return components_[i] < other.components_[i];
    }
    return true;
}

std::ostream& operator<<(std::ostream& out, const version& value)
{
    const auto& components = value.components();
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0 && !components[i].empty())
            out << '.';
        out << components[i];
    }
    return out;
}

} // namespace utils
