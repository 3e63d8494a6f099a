#include "core/config/xml_distiller.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

using test_support::temp_folder;

std::string saved_text(xml_distiller& document)
{
    EXPECT_TRUE(document.save()) << document.last_error();
    return temp_folder::read(document.file_name());
}

struct loaded_document {
    temp_folder folder;
    xml_distiller document;

    explicit loaded_document(const std::string& content)
    {
        const auto file = folder.write("doc.xml", content);
        EXPECT_TRUE(document.load(file.string())) << document.last_error();
    }
    std::string get(const std::string& key, bool case_sensitive = false)
    {
        std::string value = "not emptied";
        if (!document.get(key, value, case_sensitive))
            return "<missing:" + value + ">";
        return value;
    }
};

TEST(xml_key_path, predicates_with_any_quotes_address_the_same_element)
{
    loaded_document doc("<A><B name=\"File ID\">1</B><B name=\"File Size\">2</B></A>");
    EXPECT_EQ(doc.get("A/B[@name='File Size']"), "2");
    EXPECT_EQ(doc.get("A/B[@name=\"File Size\"]"), "2");
    EXPECT_EQ(doc.get("A/B[@name=File Size]"), "2");
    EXPECT_EQ(doc.get("A/B[@name='File Size\"]"), "2");
    EXPECT_EQ(doc.get("A/B[@name=file size]"), "2") << "predicate values ignore letter case";
    EXPECT_EQ(doc.get("A/B[@name='File ID']"), "1");
    EXPECT_EQ(doc.get("A/B"), "1") << "a step without predicate takes the first element";
    EXPECT_EQ(doc.get("A/B[@name='File Time']"), "<missing:>");
}

TEST(xml_key_path, parse_step_strips_at_most_one_quote_on_each_side)
{
    std::string name, attribute, value;
    EXPECT_FALSE(xml_distiller::parse_step("LogEnabled", name, attribute, value));
    EXPECT_EQ(name, "LogEnabled");
    EXPECT_EQ(attribute, "");

    EXPECT_TRUE(xml_distiller::parse_step("Width[@name=Width]", name, attribute, value));
    EXPECT_EQ(name, "Width");
    EXPECT_EQ(attribute, "name");
    EXPECT_EQ(value, "Width");

    EXPECT_TRUE(xml_distiller::parse_step("W[@name='\"x\"']", name, attribute, value));
    EXPECT_EQ(value, "\"x\"");
    EXPECT_TRUE(xml_distiller::parse_step("W[@name='it\"s'", name, attribute, value));
    EXPECT_EQ(value, "it\"s") << "no closing bracket: the value runs to the end";
    EXPECT_TRUE(xml_distiller::parse_step("W[@name=']", name, attribute, value));
    EXPECT_EQ(value, "");

    std::string bare_attribute, bare_value;
    EXPECT_TRUE(xml_distiller::parse_step("File[@type]", name, bare_attribute, bare_value));
    EXPECT_EQ(bare_attribute, "type");
    EXPECT_EQ(bare_value, "");
}

TEST(xml_key_path, get_folds_names_only_when_asked)
{
    loaded_document doc("<A><B type=\"DB\">db file</B></A>");
    EXPECT_EQ(doc.get("a/b[@TYPE='db']"), "db file");
    EXPECT_EQ(doc.get("a/b[@type='db']", true), "<missing:>");
    EXPECT_EQ(doc.get("A/B[@type='db']", true), "db file") << "values ignore case even with exact names";

    std::string old_value;
    EXPECT_FALSE(doc.document.set("a/b", "new", old_value))
        << "set matches names exactly, and a top-level a beside A would be a second root element";
    EXPECT_EQ(doc.get("A/B", true), "db file");
    ASSERT_TRUE(doc.document.set("A/b", "new", old_value));
    EXPECT_EQ(old_value, "");
    const std::string text = saved_text(doc.document);
    EXPECT_NE(text.find("<A>\n\t<B type=\"DB\">db file</B>\n\t<b>new</b>\n</A>"), std::string::npos) << text;
}

TEST(xml_key_path, get_trims_white_space_and_line_ends)
{
    loaded_document doc("<A>\r\n<S>  yes </S>\r\n<N>\r\n  42\r\n</N><E></E><W>   </W></A>\r\n");
    EXPECT_EQ(doc.get("A/S"), "yes");
    EXPECT_EQ(doc.get("A/N"), "42");
    EXPECT_EQ(doc.get("A/E"), "");
    EXPECT_EQ(doc.get("A/W"), "");
    EXPECT_EQ(doc.get(""), "<missing:>");
    EXPECT_EQ(doc.get("A//S"), "<missing:>");
    EXPECT_EQ(doc.get("A/S/"), "yes") << "a trailing separator adds no step";
}

TEST(xml_key_path, only_elements_match_a_name)
{
    loaded_document doc("<?A target?><!--A--><A><?B pi?><B>element</B></A>");
    EXPECT_EQ(doc.get("A/B"), "element");
    std::string old_value;
    ASSERT_TRUE(doc.document.set("A/B", "changed", old_value));
    EXPECT_EQ(old_value, "element");
    const std::string text = saved_text(doc.document);
    EXPECT_NE(text.find("<?B pi?>"), std::string::npos) << text;
    EXPECT_NE(text.find("<B>changed</B>"), std::string::npos) << text;
}

TEST(xml_key_path, set_creates_the_missing_chain_with_the_predicate_attribute)
{
    temp_folder folder;
    xml_distiller document;
    EXPECT_FALSE(document.load((folder.path() / "settings.xml").string()));

    std::string old_value = "not emptied";
    ASSERT_TRUE(document.set("Tarvoline/Appearance/Grid/Background/Selected[@format='rgb']", "10,20,30", old_value));
    EXPECT_EQ(old_value, "");
    ASSERT_TRUE(document.set("Tarvoline/Appearance/Grid/Background/Unselected[@format=rgb]", "1,2,3", old_value));

    const std::string text = saved_text(document);
    EXPECT_EQ(text,
              "<Tarvoline>\n"
              "\t<Appearance>\n"
              "\t\t<Grid>\n"
              "\t\t\t<Background>\n"
              "\t\t\t\t<Selected format=\"rgb\">10,20,30</Selected>\n"
              "\t\t\t\t<Unselected format=\"rgb\">1,2,3</Unselected>\n"
              "\t\t\t</Background>\n"
              "\t\t</Grid>\n"
              "\t</Appearance>\n"
              "</Tarvoline>\n\n");

    ASSERT_TRUE(document.set("Tarvoline/Appearance/Grid/Background/Selected[@format='RGB']", "9,9,9", old_value));
    EXPECT_EQ(old_value, "10,20,30") << "a second set of a created key replaces its text";
    std::string value;
    EXPECT_TRUE(document.get("Tarvoline/Appearance/Grid/Background/Selected[@format='rgb']", value, false));
    EXPECT_EQ(value, "9,9,9");
}

TEST(xml_key_path, set_replaces_text_and_reports_the_untrimmed_old_value)
{
    loaded_document doc("<A><S> old </S><E/><C><!-- why --> text </C><D><![CDATA[x]]></D></A>");
    EXPECT_EQ(doc.get("A/C"), "text");
    EXPECT_EQ(doc.get("A/D"), "x") << "a CDATA text is read like a plain one";
    std::string old_value;
    ASSERT_TRUE(doc.document.set("A/D", "a ]]> b", old_value));
    EXPECT_EQ(old_value, "x");
    ASSERT_TRUE(doc.document.set("A/S", " old ", old_value));
    EXPECT_EQ(old_value, " old ") << "setting the current text keeps it";
    ASSERT_TRUE(doc.document.set("A/E", "filled", old_value));
    EXPECT_EQ(old_value, "");
    ASSERT_TRUE(doc.document.set("A/C", "new text", old_value));
    EXPECT_EQ(old_value, " text ");

    const std::string text = saved_text(doc.document);
    EXPECT_NE(text.find("<S> old </S>"), std::string::npos) << text;
    EXPECT_NE(text.find("<E>filled</E>"), std::string::npos) << text;
    EXPECT_NE(text.find("<!-- why -->"), std::string::npos) << "a leading comment is not the text: " << text;
    EXPECT_NE(text.find("new text"), std::string::npos) << text;
    EXPECT_EQ(text.find(" text "), std::string::npos) << text;

    xml_distiller again;
    ASSERT_TRUE(again.load(doc.document.file_name()));
    std::string value;
    ASSERT_TRUE(again.get("A/C", value, false));
    EXPECT_EQ(value, "new text");
    ASSERT_TRUE(again.get("A/D", value, false));
    EXPECT_EQ(value, "a ]]> b") << "a text that closes CDATA is kept as plain text";
}

TEST(xml_key_path, set_refuses_keys_that_would_break_the_file)
{
    temp_folder folder;
    xml_distiller document;
    document.create_document((folder.path() / "doc.xml").string(), "A");
    std::string old_value;
    EXPECT_FALSE(document.set("", "x", old_value));
    EXPECT_FALSE(document.set("A//B", "x", old_value));
    EXPECT_FALSE(document.set("A/two words", "x", old_value));
    EXPECT_FALSE(document.set("A/[@name='x']", "x", old_value));
    EXPECT_FALSE(document.set("B/C", "x", old_value)) << "a second root element would make the file unreadable";
    EXPECT_NE(document.last_error().find("outside the root element"), std::string::npos) << document.last_error();
    EXPECT_TRUE(document.set("A/File[@type]", "", old_value)) << "a predicate without value creates the element";
    EXPECT_EQ(saved_text(document), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<A>\n\t<File type=\"\"/>\n</A>\n\n");
    EXPECT_TRUE(document.set("A/File[@type]/Name", "first", old_value));
    EXPECT_TRUE(document.set("A/File[@type]/Name", "second", old_value));
    EXPECT_EQ(old_value, "first") << "the element made for the key is found again, not made once more";
    EXPECT_EQ(saved_text(document),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<A>\n\t<File type=\"\">\n\t\t<Name>second</Name>\n\t</File>\n</A>\n\n");
}

TEST(xml_key_path, instructions_written_without_a_blank_survive_a_round_trip)
{
    loaded_document doc("<?first?value?><?second/>value?><A><?third>v?>text<?xml ?></A>");
    ASSERT_TRUE(doc.document.save()) << doc.document.last_error();
    const std::string saved = temp_folder::read(doc.document.file_name());
    EXPECT_EQ(saved.find('\0'), std::string::npos) << "no terminator of the parser reaches the file";
    EXPECT_NE(saved.find("<?first ?value?>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<?second />value?>"), std::string::npos) << saved;
    xml_distiller again;
    ASSERT_TRUE(again.load(doc.document.file_name())) << again.last_error();
    std::string value;
    EXPECT_TRUE(again.get("A", value, true));
    EXPECT_EQ(value, "text");
}

TEST(xml_document_file, an_instruction_named_xml_is_refused_and_the_file_kept)
{
    temp_folder folder;
    const std::string content = "<A><?xml/> version=\"1.0\"?>text</A>";
    const auto file = folder.write("doc.xml", content);
    xml_distiller document;
    EXPECT_FALSE(document.load(file.string()));
    EXPECT_TRUE(document.malformed());
    EXPECT_NE(document.last_error().find("reserved"), std::string::npos) << document.last_error();
    EXPECT_FALSE(document.save());
    EXPECT_EQ(temp_folder::read(file), content);
}

TEST(xml_document_file, an_instruction_named_xml_in_any_case_after_the_root_is_refused)
{
    // Saved as "<?xmL ?>", it would read back as a declaration after the root.
    temp_folder folder;
    const std::string content = "<A/>\n<?xmL?>";
    const auto file = folder.write("doc.xml", content);
    xml_distiller document;
    EXPECT_FALSE(document.load(file.string()));
    EXPECT_NE(document.last_error().find("\"xmL\" is reserved at line 2"), std::string::npos) << document.last_error();
    EXPECT_FALSE(document.save());
    EXPECT_EQ(temp_folder::read(file), content);

    loaded_document before_the_root("<?XmL?><A>text</A>");
    ASSERT_TRUE(before_the_root.document.save()) << before_the_root.document.last_error();
    xml_distiller again;
    EXPECT_TRUE(again.load(before_the_root.document.file_name())) << again.last_error();
}

TEST(xml_document_file, a_reference_to_nul_is_refused_and_the_file_kept)
{
    temp_folder folder;
    for (const std::string content : { "<A>x&#0;y</A>", "<A><B v=\"&#x;\"/></A>" }) {
        const auto file = folder.write("doc.xml", content);
        xml_distiller document;
        EXPECT_FALSE(document.load(file.string())) << content;
        EXPECT_NE(document.last_error().find("NUL"), std::string::npos) << document.last_error();
        EXPECT_FALSE(document.save());
        EXPECT_EQ(temp_folder::read(file), content);
    }
}

TEST(xml_key_path, special_characters_survive_a_round_trip)
{
    temp_folder folder;
    const std::string tricky = "&<>\"'";
    xml_distiller document;
    document.create_document((folder.path() / "doc.xml").string(), "A");
    std::string old_value;
    ASSERT_TRUE(document.set("A/Value[@name='" + tricky + "]", tricky, old_value));
    ASSERT_TRUE(document.save()) << document.last_error();

    xml_distiller again;
    ASSERT_TRUE(again.load(document.file_name())) << again.last_error();
    std::string value;
    ASSERT_TRUE(again.get("A/Value", value, false));
    EXPECT_EQ(value, tricky);
    std::vector<xml_distiller::node*> nodes;
    again.select_nodes("A/Value", nodes, "", "");
    ASSERT_EQ(nodes.size(), 1u);
    ASSERT_NE(nodes[0]->first_attribute("name"), nullptr);
    EXPECT_EQ(std::string(nodes[0]->first_attribute("name")->value()), "&<>\"");
}

TEST(xml_key_path, select_nodes_takes_siblings_of_the_last_step)
{
    loaded_document doc(
        "<Scripts><Script name='a'/><Other/><script name='b'/><Script name='c'/></Scripts>");
    std::vector<xml_distiller::node*> nodes;
    EXPECT_TRUE(doc.document.select_nodes("Scripts/Script", nodes, "", ""));
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_STREQ(nodes[0]->first_attribute()->value(), "a");
    EXPECT_STREQ(nodes[1]->first_attribute()->value(), "b");
    EXPECT_STREQ(nodes[2]->first_attribute()->value(), "c");

    nodes.clear();
    doc.document.select_nodes("Scripts/Script[@name='B']", nodes, "", "");
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_STREQ(nodes[0]->first_attribute()->value(), "b");

    nodes.clear();
    doc.document.select_nodes("scripts/Script", nodes, "", "");
    doc.document.select_nodes("Scripts", nodes, "", "");
    doc.document.select_nodes("Scripts/Missing", nodes, "", "");
    EXPECT_TRUE(nodes.empty()) << "the root must be spelled exactly; one step selects nothing";
}

TEST(xml_document_file, create_document_starts_over_with_one_declaration)
{
    temp_folder folder;
    const std::string file = (folder.path() / "table.xml").string();
    xml_distiller document;
    document.append_element(document.create_document(file, "First"), "Row", "1");
    auto* root = document.create_document(file, "Table");
    auto* row = document.append_element(root, "Row");
    document.append_attribute(row, "Count", "1");
    EXPECT_EQ(saved_text(document),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Table>\n\t<Row Count=\"1\"/>\n</Table>\n\n");
}

TEST(xml_document_file, empty_and_declaration_only_files_load)
{
    temp_folder folder;
    xml_distiller empty;
    ASSERT_TRUE(empty.load(folder.write("empty.xml", "").string()));
    EXPECT_EQ(empty.document().first_node(), nullptr);

    xml_distiller declared;
    ASSERT_TRUE(declared.load(folder.write("declared.xml", "<?xml version=\"1.0\"?>\n<!-- keep me -->\n").string()));
    EXPECT_EQ(saved_text(declared), "<?xml version=\"1.0\"?>\n<!-- keep me -->\n\n");

    xml_distiller bom;
    ASSERT_TRUE(bom.load(folder.write("bom.xml", "\xEF\xBB\xBF<A>\xC3\xA9t\xC3\xA9</A>").string()));
    std::string value;
    ASSERT_TRUE(bom.get("A", value, true));
    EXPECT_EQ(value, "\xC3\xA9t\xC3\xA9") << "UTF-8 bytes are kept as they are";
}

TEST(xml_document_file, missing_file_loads_nothing_but_names_the_file)
{
    temp_folder folder;
    const std::string file = (folder.path() / "new.xml").string();
    xml_distiller document;
    EXPECT_FALSE(document.load(file));
    EXPECT_EQ(document.file_name(), file);
    std::string old_value;
    ASSERT_TRUE(document.set("Root/Key", "v", old_value));
    EXPECT_EQ(saved_text(document), "<Root>\n\t<Key>v</Key>\n</Root>\n\n");
}

TEST(xml_document_file, malformed_file_is_reported_and_never_overwritten)
{
    temp_folder folder;
    const std::string original = "<Tarvoline>\n  <Config>\n    <LogEnabled>Yes</LogEnabled>\n  </Confg>\n</Tarvoline>\n";
    const auto file = folder.write("settings.xml", original);
    xml_distiller document;
    EXPECT_FALSE(document.load(file.string()));
    EXPECT_TRUE(document.malformed());
    EXPECT_NE(document.last_error().find("invalid closing tag name"), std::string::npos) << document.last_error();
    EXPECT_NE(document.last_error().find("line 4"), std::string::npos) << document.last_error();
    EXPECT_EQ(document.document().first_node(), nullptr) << "the document is left empty";

    std::string old_value;
    ASSERT_TRUE(document.set("Tarvoline/Config/LogEnabled", "No", old_value));
    EXPECT_FALSE(document.save());
    EXPECT_NE(document.last_error().find("not loaded"), std::string::npos) << document.last_error();
    EXPECT_EQ(temp_folder::read(file), original);

    folder.write("settings.xml", "<Tarvoline/>");
    ASSERT_TRUE(document.load(file.string())) << "a good file loads again";
    EXPECT_FALSE(document.malformed());
    EXPECT_TRUE(document.save());
}

TEST(xml_document_file, nul_byte_or_more_after_the_root_is_malformed_and_never_overwritten)
{
    temp_folder folder;
    const char with_nul[] = "<Tarvoline>\n  <Config><LogEnabled>Yes</LogEnabled></Config>\0\n  <Path/>\n</Tarvoline>\n";
    const std::vector<std::string> malformed = {
        std::string(with_nul, sizeof with_nul - 1),
        "<Tarvoline><Config/></Tarvoline>\n<Tarvoline><Config/></Tarvoline>\n",
    };
    for (const std::string& original : malformed) {
        const auto file = folder.write("settings.xml", original);
        xml_distiller document;
        EXPECT_FALSE(document.load(file.string())) << original;
        EXPECT_TRUE(document.malformed());
        EXPECT_FALSE(document.last_error().empty());
        EXPECT_FALSE(document.save());
        EXPECT_EQ(temp_folder::read(file), original);
    }
    // Comments after the root element are allowed.
    loaded_document commented("<Tarvoline><A>1</A></Tarvoline>\n<!-- saved by hand -->\n");
    EXPECT_EQ(commented.get("Tarvoline/A"), "1");
}

TEST(xml_document_file, nesting_deeper_than_the_limit_is_refused_before_parsing)
{
    temp_folder folder;
    const auto nested = [](std::size_t depth) {
        std::string text;
        for (std::size_t i = 0; i < depth; ++i)
            text += "<a x='>'>";
        text += "<!-- <b> --><![CDATA[<c>]]><d/>";
        for (std::size_t i = 0; i < depth; ++i)
            text += "</a>";
        return text;
    };
    for (const std::size_t depth : { std::size_t(100000), xml_distiller::max_depth + 1 }) {
        const std::string original = nested(depth);
        const auto file = folder.write("deep.xml", original);
        xml_distiller document;
        EXPECT_FALSE(document.load(file.string())) << depth;
        EXPECT_NE(document.last_error().find("nested deeper than"), std::string::npos) << document.last_error();
        EXPECT_FALSE(document.save());
        EXPECT_EQ(temp_folder::read(file), original);
    }
    // At the limit a document loads and saves, and a key can't build one beyond it.
    const auto file = folder.write("deep.xml", nested(xml_distiller::max_depth - 1));
    xml_distiller document;
    ASSERT_TRUE(document.load(file.string())) << document.last_error();
    EXPECT_TRUE(document.save()) << document.last_error();
    std::string key = "a";
    for (std::size_t i = 0; i < xml_distiller::max_depth; ++i)
        key += "/a";
    std::string old_value;
    EXPECT_FALSE(document.set(key, "too deep", old_value));
}

TEST(xml_document_file, failed_save_leaves_the_original_byte_identical)
{
    temp_folder folder;
    const std::string original = "<?xml version=\"1.0\"?>\n<A>\n\t<B>keep</B>\n</A>\n";
    const auto file = folder.write("doc.xml", original);

    xml_distiller into_missing_folder;
    into_missing_folder.create_document((folder.path() / "no" / "such" / "doc.xml").string(), "A");
    EXPECT_FALSE(into_missing_folder.save());
    EXPECT_FALSE(into_missing_folder.last_error().empty());

    xml_distiller full_device;
    full_device.create_document("/dev/full", "A");
    EXPECT_FALSE(full_device.save()) << "a full disk is reported";

    // A file size limit makes the disk look full for this process only.
    xml_distiller document;
    ASSERT_TRUE(document.load(file.string()));
    std::string old_value;
    ASSERT_TRUE(document.set("A/B", std::string(64 * 1024, 'x'), old_value));
    rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previous_handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = document.save();
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previous_handler);
    EXPECT_FALSE(saved);
    EXPECT_EQ(temp_folder::read(file), original);

    std::size_t entries = 0;
    for (boost::filesystem::directory_iterator it(folder.path()), end; it != end; ++it)
        ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file is left behind";

    EXPECT_TRUE(document.save()) << document.last_error();
    EXPECT_NE(temp_folder::read(file), original);
}

TEST(xml_document_file, protected_files_are_not_replaced)
{
    if (test_support::running_as_root())
        GTEST_SKIP() << "root reads and writes any file";
    temp_folder folder;
    const auto read_only = folder.write("read_only.xml", "<A/>");
    boost::filesystem::permissions(read_only, boost::filesystem::owner_read);
    xml_distiller document;
    ASSERT_TRUE(document.load(read_only.string()));
    std::string old_value;
    document.set("A/B", "x", old_value);
    EXPECT_FALSE(document.save());
    EXPECT_EQ(temp_folder::read(read_only), "<A/>");

    const auto unreadable = folder.write("unreadable.xml", "<A><B>keep</B></A>");
    boost::filesystem::permissions(unreadable, boost::filesystem::owner_write);
    xml_distiller blind;
    EXPECT_FALSE(blind.load(unreadable.string()));
    blind.set("A/C", "x", old_value);
    EXPECT_FALSE(blind.save()) << "a file that could not be read is not replaced";
    boost::filesystem::permissions(unreadable, boost::filesystem::owner_read | boost::filesystem::owner_write);
    EXPECT_EQ(temp_folder::read(unreadable), "<A><B>keep</B></A>");
}

TEST(xml_document_file, save_keeps_permissions_and_follows_a_link)
{
    temp_folder folder;
    const auto file = folder.write("real.xml", "<A/>");
    boost::filesystem::permissions(file, boost::filesystem::owner_read | boost::filesystem::owner_write);
    const auto link = folder.path() / "link.xml";
    boost::filesystem::create_symlink(file, link);

    xml_distiller document;
    ASSERT_TRUE(document.load(link.string()));
    std::string old_value;
    document.set("A/B", "x", old_value);
    ASSERT_TRUE(document.save()) << document.last_error();
    EXPECT_TRUE(boost::filesystem::is_symlink(link));
    EXPECT_EQ(temp_folder::read(file), "<A>\n\t<B>x</B>\n</A>\n\n");
    EXPECT_EQ(boost::filesystem::status(file).permissions(),
              boost::filesystem::owner_read | boost::filesystem::owner_write);
}

} // namespace
