#pragma once
// A dotted version number of exactly four text components, most significant first.

#include <iosfwd>
#include <string>
#include <vector>

namespace utils {

class version {
public:
    // Cuts `text` at `separator`; pieces beyond the fourth are ignored, missing ones are empty,
    // white space around each piece is removed.
    version(const std::string& text, const char& separator);
    virtual ~version() = default;

    const std::vector<std::string>& components() const { return components_; }

    // Components joined with "."; an empty component is skipped together with its dot.
    std::string to_string() const;

    // True when this version is not newer than `other`. Components compare as text (so "10"
    // sorts before "9"): that is how stored versions have always been compared.
    bool operator<=(const version& other) const;

private:
    std::vector<std::string> components_ = std::vector<std::string>(4);
};

std::ostream& operator<<(std::ostream& out, const version& value);

} // namespace utils
