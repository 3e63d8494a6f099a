#include "core/script_manager.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

using test_support::temp_folder;

const char* const repository =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<Scripts>\n"
    "\t<Script name=\"MergeDifferences\">\n"
    "\t\t<Text><![CDATA[SELECT * FROM [FILE] WHERE backup_id = {?id} AND size < {?size}]]></Text>\n"
    "\t\t<Parameter name=\"id\"/>\n"
    "\t\t<Parameter name=\"size\"/>\n"
    "\t</Script>\n"
    "\t<script NAME=\"Plain\">\n"
    "\t\t<text>SELECT 1 &lt; 2</text>\n"
    "\t</script>\n"
    "\t<Script name=\"Plain\">\n"
    "\t\t<Text>SELECT 'second'</Text>\n"
    "\t\t<Parameter name=\"late\"/>\n"
    "\t</Script>\n"
    "\t<Script><Text>no name</Text></Script>\n"
    "\t<Script name=\"NoText\"/>\n"
    "</Scripts>\n";

struct loaded_repository {
    temp_folder folder;
    boost::filesystem::path file;
    script_manager manager;

    explicit loaded_repository(const std::string& content = repository)
        : file(folder.write("scripts.xml", content))
    {
        std::string error;
        EXPECT_TRUE(manager.load(file.string(), error)) << error;
    }
};

TEST(scripts_repository, load_takes_the_first_script_of_a_name_and_every_parameter)
{
    loaded_repository repo;
    ASSERT_EQ(repo.manager.scripts().size(), 2u) << "scripts without name or Text are skipped";
    std::string text;
    ASSERT_TRUE(repo.manager.get_text("Plain", text));
    EXPECT_EQ(text, "SELECT 1 < 2");
    const auto* plain = repo.manager.find_script("Plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->parameters().count("late"), 1u);

    ASSERT_TRUE(repo.manager.get_text("MergeDifferences", text));
    EXPECT_EQ(text, "SELECT * FROM [FILE] WHERE backup_id = {?id} AND size < {?size}");

    ASSERT_TRUE(repo.manager.get_text("mergedifferences", text)) << "a name is the same in any letter case";
    EXPECT_EQ(text, "SELECT * FROM [FILE] WHERE backup_id = {?id} AND size < {?size}");
    text = "untouched";
    EXPECT_FALSE(repo.manager.get_expanded_text("Missing", text));
    EXPECT_EQ(text, "untouched");
}

TEST(scripts_repository, second_load_keeps_known_texts)
{
    loaded_repository repo;
    repo.manager.find_script("Plain")->set_text("edited in memory");
    repo.folder.write("scripts.xml",
                      "<Scripts><Script name='Plain'><Text>from disk</Text></Script>"
                      "<Script name='Fresh'><Text>new</Text></Script></Scripts>");
    std::string error;
    ASSERT_TRUE(repo.manager.load(repo.file.string(), error));
    std::string text;
    ASSERT_TRUE(repo.manager.get_text("Plain", text));
    EXPECT_EQ(text, "edited in memory");
    ASSERT_TRUE(repo.manager.get_text("Fresh", text));
    EXPECT_EQ(text, "new");
    EXPECT_EQ(repo.manager.scripts().size(), 3u);
}

TEST(scripts_repository, expansion_replaces_declared_placeholders_in_name_order)
{
    script_manager::script sql("a={?a} b={?b} a={?a} c={?c}");
    EXPECT_TRUE(sql.add_parameter("b"));
    EXPECT_TRUE(sql.add_parameter("a"));
    EXPECT_FALSE(sql.add_parameter("a"));
    EXPECT_EQ(sql.expanded_text(), "a= b= a= c={?c}");
    EXPECT_EQ(sql.text(), "a={?a} b={?b} a={?a} c={?c}") << "expansion leaves the stored text";

    // A later parameter searches what an earlier replacement left: "{?{?a}b}" loses "{?a}" first.
    script_manager::script nested("{?{?a}b}");
    nested.add_parameter("a");
    nested.add_parameter("b");
    EXPECT_EQ(nested.expanded_text(), "");

    loaded_repository repo;
    std::string sql_text;
    ASSERT_TRUE(repo.manager.get_expanded_text("MergeDifferences", sql_text));
    EXPECT_EQ(sql_text, "SELECT * FROM [FILE] WHERE backup_id =  AND size < ");
}

TEST(scripts_repository, save_keeps_cdata_and_plain_forms)
{
    loaded_repository repo;
    repo.manager.find_script("MergeDifferences")->set_text("SELECT 'a' < 'b'");
    repo.manager.find_script("Plain")->set_text("SELECT 2 > 1");
    auto* added = repo.manager.add_script("Added");
    ASSERT_NE(added, nullptr);
    added->set_text("SELECT 3 & 4");
    EXPECT_EQ(repo.manager.add_script("Added"), nullptr);
    ASSERT_TRUE(repo.manager.save());

    const std::string saved = temp_folder::read(repo.file);
    EXPECT_NE(saved.find("<![CDATA[SELECT 'a' < 'b']]>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<text>SELECT 2 &gt; 1</text>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Script name=\"Added\">\n\t\t<Text>\n\t\t\t<![CDATA[SELECT 3 & 4]]>\n\t\t</Text>"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("<Text>SELECT &apos;second&apos;</Text>"), std::string::npos) << "other elements stay";
    EXPECT_NE(saved.find("<Parameter name=\"size\"/>"), std::string::npos) << saved;

    script_manager again;
    std::string error, text;
    ASSERT_TRUE(again.load(repo.file.string(), error)) << error;
    ASSERT_TRUE(again.get_text("Added", text));
    EXPECT_EQ(text, "SELECT 3 & 4");
    ASSERT_TRUE(again.get_text("Plain", text));
    EXPECT_EQ(text, "SELECT 2 > 1");
}

TEST(scripts_repository, names_with_brackets_and_slashes_save_into_their_own_element)
{
    loaded_repository repo("<Scripts><Script name='a]b'><Text>one</Text></Script>"
                           "<Script name='x/y'><Text>two</Text></Script></Scripts>");
    repo.manager.find_script("a]b")->set_text("ONE");
    repo.manager.find_script("x/y")->set_text("TWO");
    repo.manager.add_script("q'\"]/[@name='a]b']")->set_text("THREE");
    ASSERT_TRUE(repo.manager.save());

    script_manager again;
    std::string error, text;
    ASSERT_TRUE(again.load(repo.file.string(), error)) << error;
    EXPECT_EQ(again.scripts().size(), 3u);
    ASSERT_TRUE(again.get_text("a]b", text));
    EXPECT_EQ(text, "ONE");
    ASSERT_TRUE(again.get_text("x/y", text));
    EXPECT_EQ(text, "TWO");
    ASSERT_TRUE(again.get_text("q'\"]/[@name='a]b']", text));
    EXPECT_EQ(text, "THREE");
}

TEST(scripts_repository, names_differing_in_case_are_one_script)
{
    loaded_repository repo("<Scripts><Script name='Diff'><Text>old</Text></Script></Scripts>");
    EXPECT_EQ(repo.manager.add_script("DIFF"), nullptr);
    script_manager::script* found = repo.manager.find_script("dIfF");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(repo.manager.scripts().find("DIFF")->first, "Diff");
    found->set_text("upper");
    ASSERT_TRUE(repo.manager.save());
    EXPECT_EQ(temp_folder::read(repo.file),
              "<Scripts>\n\t<Script name=\"Diff\">\n\t\t<Text>upper</Text>\n\t</Script>\n</Scripts>\n\n");
}

TEST(scripts_repository, text_that_closes_cdata_is_saved_as_plain_text)
{
    loaded_repository repo("<Scripts><Script name='S'><Text><![CDATA[x]]></Text></Script></Scripts>");
    repo.manager.find_script("S")->set_text("SELECT ']]>' AS marker");
    repo.manager.add_script("T")->set_text("]]>");
    ASSERT_TRUE(repo.manager.save());
    script_manager again;
    std::string error, text;
    ASSERT_TRUE(again.load(repo.file.string(), error)) << error;
    ASSERT_TRUE(again.get_text("S", text));
    EXPECT_EQ(text, "SELECT ']]>' AS marker");
    ASSERT_TRUE(again.get_text("T", text));
    EXPECT_EQ(text, "]]>");
}

TEST(scripts_repository, a_text_of_blanks_alone_survives_a_save)
{
    // Written plain, such a text would be dropped by the parser on the next load.
    loaded_repository repo("<Scripts><Script name='Tab'><Text>&#9;</Text></Script>"
                           "<Script name='Set'><Text>x</Text></Script></Scripts>");
    repo.manager.find_script("Set")->set_text(" \r\n");
    ASSERT_TRUE(repo.manager.save());
    script_manager again;
    std::string error, text;
    ASSERT_TRUE(again.load(repo.file.string(), error)) << error;
    ASSERT_TRUE(again.get_text("Tab", text));
    EXPECT_EQ(text, "\t");
    ASSERT_TRUE(again.get_text("Set", text));
    EXPECT_EQ(text, " \r\n");
}

TEST(scripts_repository, lower_case_root_loads_nothing)
{
    loaded_repository repo("<scripts><Script name='A'><Text>x</Text></Script></scripts>");
    EXPECT_TRUE(repo.manager.scripts().empty());
}

TEST(scripts_repository, a_file_with_another_root_is_not_given_a_second_one)
{
    const std::string content = "<Settings><Value>1</Value></Settings>";
    loaded_repository repo(content);
    repo.manager.add_script("New")->set_text("select 1");
    EXPECT_FALSE(repo.manager.save());
    EXPECT_NE(repo.manager.last_error().find("its root element is Settings"), std::string::npos)
        << repo.manager.last_error();
    EXPECT_EQ(temp_folder::read(repo.file), content);
}

TEST(scripts_repository, missing_repository_is_reported_and_created_on_save)
{
    temp_folder folder;
    const std::string file = (folder.path() / "scripts.xml").string();
    script_manager manager;
    std::string error;
    EXPECT_FALSE(manager.load(file, error));
    EXPECT_EQ(error, "Unable to load script repository " + file);
    manager.add_script("Mine")->set_text("SELECT 1");
    ASSERT_TRUE(manager.save());
    EXPECT_EQ(temp_folder::read(file),
              "<Scripts>\n\t<Script name=\"Mine\">\n\t\t<Text>\n\t\t\t<![CDATA[SELECT 1]]>\n\t\t</Text>\n\t</Script>\n"
              "</Scripts>\n\n");
}

TEST(scripts_repository, malformed_repository_is_reported_and_never_overwritten)
{
    temp_folder folder;
    const std::string broken = "<Scripts><Script name='A'><Text>x</Text></Scripts>";
    const auto file = folder.write("scripts.xml", broken);
    script_manager manager;
    std::string error;
    EXPECT_FALSE(manager.load(file.string(), error));
    EXPECT_EQ(error.rfind("Unable to load script repository " + file.string() + ": ", 0), 0u) << error;
    EXPECT_NE(error.find("invalid closing tag name"), std::string::npos) << error;
    manager.add_script("B")->set_text("SELECT 2");
    EXPECT_FALSE(manager.save());
    EXPECT_EQ(temp_folder::read(file), broken);
}

} // namespace
