#include "core/config/settings.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using test_support::temp_folder;
using change = std::tuple<std::string, std::string, std::string>;

struct recorded_settings {
    temp_folder folder;
    config::xml_parameters store;
    std::vector<change> changes;

    recorded_settings()
    {
        store.callback([this](const std::string& key, const std::string& new_value, const std::string& old_value) {
            changes.emplace_back(key, new_value, old_value);
        });
    }
    std::string file() const { return (folder.path() / "settings.xml").string(); }
};

TEST(settings_store, callback_fires_once_per_real_change)
{
    recorded_settings s;
    s.store.load(s.file());
    const std::string key = "Tarvoline/Config/LogEnabled";
    ASSERT_TRUE(s.store.set(key, "Yes"));
    ASSERT_TRUE(s.store.set(key, "Yes"));
    ASSERT_TRUE(s.store.set(key, "No"));
    ASSERT_TRUE(s.store.set("Tarvoline/Config/LogPath", ""));
    EXPECT_EQ(s.changes, (std::vector<change> { { key, "Yes", "" }, { key, "No", "Yes" } }));

    EXPECT_FALSE(s.store.set("", "x"));
    EXPECT_EQ(s.changes.size(), 2u) << "an empty key changes nothing and calls nothing";
}

TEST(settings_store, integer_setter_writes_plain_decimal)
{
    recorded_settings s;
    s.store.load(s.file());
    ASSERT_TRUE(s.store.set("Tarvoline/Appearance/Window/Top", -1));
    ASSERT_TRUE(s.store.set("Tarvoline/Appearance/Window/Width", 1200));
    ASSERT_TRUE(s.store.set("Tarvoline/Appearance/Window/Left", 0));
    config::settings& base = s.store;
    ASSERT_TRUE(base.set("Tarvoline/Appearance/Window/Left", 7));

    std::string value;
    ASSERT_TRUE(s.store.get("Tarvoline/Appearance/Window/Top", value, false));
    EXPECT_EQ(value, "-1");
    ASSERT_TRUE(s.store.get("Tarvoline/Appearance/Window/Width", value, false));
    EXPECT_EQ(value, "1200");
    EXPECT_EQ(s.changes.back(), change("Tarvoline/Appearance/Window/Left", "7", "0"));
}

TEST(settings_store, get_trims_and_ignores_letter_case_of_names)
{
    recorded_settings s;
    s.folder.write("settings.xml", "<Tarvoline><Config><Version>  1.2.3\r\n</Version></Config></Tarvoline>");
    ASSERT_TRUE(s.store.load(s.file()));
    std::string value;
    ASSERT_TRUE(s.store.get("tarvoline/config/VERSION", value, false));
    EXPECT_EQ(value, "1.2.3");
    value = "stale";
    EXPECT_FALSE(s.store.get("Tarvoline/Config/Missing", value, false));
    EXPECT_EQ(value, "");
}

TEST(settings_store, missing_file_is_created_on_save_without_declaration)
{
    recorded_settings s;
    EXPECT_FALSE(s.store.load(s.file()));
    EXPECT_EQ(s.store.file_name(), s.file());
    ASSERT_TRUE(s.store.set("Tarvoline/Config/AutoLoad", "Yes"));
    ASSERT_TRUE(s.store.save()) << s.store.last_error();
    EXPECT_EQ(temp_folder::read(s.file()), "<Tarvoline>\n\t<Config>\n\t\t<AutoLoad>Yes</AutoLoad>\n\t</Config>\n</Tarvoline>\n\n");
}

TEST(settings_store, saving_keeps_declaration_and_comments)
{
    recorded_settings s;
    s.folder.write("settings.xml",
                   "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- user notes -->\n<Tarvoline>\n"
                   "\t<Config>\n\t\t<!-- on or off -->\n\t\t<LogEnabled>No</LogEnabled>\n\t</Config>\n</Tarvoline>\n");
    ASSERT_TRUE(s.store.load(s.file()));
    ASSERT_TRUE(s.store.set("Tarvoline/Config/LogEnabled", "Yes"));
    ASSERT_TRUE(s.store.save());
    EXPECT_EQ(temp_folder::read(s.file()),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- user notes -->\n<Tarvoline>\n"
              "\t<Config>\n\t\t<!-- on or off -->\n\t\t<LogEnabled>Yes</LogEnabled>\n\t</Config>\n</Tarvoline>\n\n");
}

TEST(settings_store, close_saves_and_forgets_until_the_next_load)
{
    recorded_settings s;
    s.store.load(s.file());
    ASSERT_TRUE(s.store.set("Tarvoline/Path/Main", "/home/user/main"));
    ASSERT_TRUE(s.store.close(true));
    EXPECT_TRUE(boost::filesystem::exists(s.file()));
    std::string value;
    EXPECT_FALSE(s.store.get("Tarvoline/Path/Main", value, false));

    s.folder.write("settings.xml", "<Tarvoline><Path><Main>/elsewhere</Main></Path></Tarvoline>");
    ASSERT_TRUE(s.store.reload());
    ASSERT_TRUE(s.store.get("Tarvoline/Path/Main", value, false));
    EXPECT_EQ(value, "/elsewhere");

    ASSERT_TRUE(s.store.set("Tarvoline/Path/Main", "/discarded"));
    ASSERT_TRUE(s.store.close(false));
    ASSERT_TRUE(s.store.load(s.file()));
    ASSERT_TRUE(s.store.get("Tarvoline/Path/Main", value, false));
    EXPECT_EQ(value, "/elsewhere") << "close without save discards the change";
}

TEST(settings_store, malformed_file_keeps_defaults_and_is_left_untouched)
{
    recorded_settings s;
    const std::string broken = "<Tarvoline><Config><AutoLoad>Yes</Config></Tarvoline>";
    s.folder.write("settings.xml", broken);
    EXPECT_FALSE(s.store.load(s.file()));
    EXPECT_NE(s.store.last_error().find("line 1"), std::string::npos) << s.store.last_error();
    std::string value;
    EXPECT_FALSE(s.store.get("Tarvoline/Config/AutoLoad", value, false));
    ASSERT_TRUE(s.store.set("Tarvoline/Config/AutoLoad", "No"));
    EXPECT_FALSE(s.store.save());
    EXPECT_TRUE(s.store.close(true));
    EXPECT_EQ(temp_folder::read(s.file()), broken);
}

} // namespace
