#pragma once
// One XML document in memory, read and written through key paths such as
// "Tarvoline/Config/LogEnabled"; a step may pick an element by one attribute:
// "Grid/Columns/Width[@name='File Size']".

#include <rapidxml/rapidxml.hpp>

#include <string>
#include <vector>

class xml_distiller {
public:
    using node = rapidxml::xml_node<char>;
    using document_type = rapidxml::xml_document<char>;

    // Deeper documents are refused: the parser and the printer recurse once per level.
    static constexpr std::size_t max_depth = 256;

    xml_distiller() = default;
    virtual ~xml_distiller() = default;
    xml_distiller(const xml_distiller&) = delete;
    xml_distiller& operator=(const xml_distiller&) = delete;

    // False when the file cannot be read or is not well-formed XML (a NUL byte, more than one
    // root element, nesting deeper than max_depth count as malformed); last_error() then says why.
    // A file that exists but could not be read or parsed leaves an empty document that save()
    // refuses to write over the file; a missing file is created by the next save().
    bool load(const std::string& file_name);
    // Writes a temporary file beside the target and renames it over the target, so a failed
    // save never leaves a truncated file. False on any failure (see last_error()).
    bool save();
    // The document as save() writes it.
    std::string print() const;
    // Writes `content` in place of the file, with save()'s checks and its all-or-nothing replace.
    bool save_text(const std::string& content);
    // Starts over with a declaration and a root element; returns the root.
    node* create_document(const std::string& file_name, const std::string& root_name);

    bool get(const std::string& key, std::string& value /*out*/, bool case_sensitive) const;
    // Creates the missing elements of the key; false for an empty or unusable key.
    bool set(const std::string& key, const std::string& value, std::string& old_value /*out*/);
    // Appends the selected elements to `nodes`; always true.
    bool select_nodes(const std::string& path, std::vector<node*>& nodes /*out*/,
                      const std::string& attribute_name, const std::string& attribute_value) const;

    static node* find_child(const node* parent, const std::string& name, const std::string& attribute_name,
                            const std::string& attribute_value, bool case_sensitive);
    // True when the step carries an attribute predicate.
    static bool parse_step(const std::string& step, std::string& name /*out*/, std::string& attribute_name /*out*/,
                           std::string& attribute_value /*out*/);

    // Drops every node and attribute and frees the pool; the file name stays.
    void clear();

    // Builders for users that extend the tree by hand: names and values are copied into the
    // document's pool, so they outlive the caller's strings.
    node* append_element(node* parent, const std::string& name, const std::string& value = std::string());
    void append_attribute(node* element, const std::string& name, const std::string& value);
    char* pool_copy(const std::string& text);
    // Replaces an element's text where the printer shows it: its first text node or CDATA
    // section (a leading comment is not the text), else its own value. A text of blanks alone
    // is held in a CDATA section, where the parser keeps it.
    void set_text(node* element, const std::string& value);
    // The first text node or CDATA section of an element, or null.
    static node* text_node(const node* element);

    document_type& document() { return m_document; }
    const document_type& document() const { return m_document; }
    const std::string& file_name() const { return m_file_name; }
    const std::string& last_error() const { return m_last_error; }
    // True after a load that found the file but could not parse it.
    bool malformed() const { return m_malformed; }

private:
    bool write_file(const std::string& content);

    document_type m_document;
    std::vector<char> m_text;
    std::string m_file_name;
    std::string m_last_error;
    bool m_malformed { false };
    // The file on disk exists but its content is not in the document.
    bool m_file_not_loaded { false };
};
