#include "app/settings_keys.h"

#include "core/config/settings.h"
#include "platform/base/system_services.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace {

namespace keys = settings_keys;
using test_support::temp_folder;

constexpr COLORREF window_colour = 0x00F1F2F3;
constexpr COLORREF window_text_colour = 0x00010203;
constexpr COLORREF highlight_colour = 0x00A1A2A3;
constexpr COLORREF highlight_text_colour = 0x00B1B2B3;
constexpr COLORREF button_face_colour = 0x00C1C2C3;

// Distinct system colours, so each fallback shows which one it took.
class settings_keys_test : public ::testing::Test {
protected:
    settings_keys_test()
    {
        m_previous = platform::set_system_colour_service([](int index) -> COLORREF {
            switch (index) {
            case COLOR_WINDOW: return window_colour;
            case COLOR_WINDOWTEXT: return window_text_colour;
            case COLOR_HIGHLIGHT: return highlight_colour;
            case COLOR_HIGHLIGHTTEXT: return highlight_text_colour;
            case COLOR_BTNFACE: return button_face_colour;
            default: return 0x00777777;
            }
        });
    }
    ~settings_keys_test() override { platform::set_system_colour_service(m_previous); }

    void load(const std::string& content)
    {
        ASSERT_TRUE(store.load(folder.write("settings.xml", content).string())) << store.last_error();
    }
    void value(const std::string& key, const std::string& text) { ASSERT_TRUE(store.set(key, text)); }

    temp_folder folder;
    config::xml_parameters store;

private:
    platform::system_colour_service m_previous;
};

TEST_F(settings_keys_test, switch_is_on_only_for_yes_in_any_case)
{
    load("<Tarvoline/>");
    for (const char* on : { "Yes", "YES", "yes", " yes\r\n" }) {
        value(keys::auto_load, on);
        EXPECT_TRUE(keys::read_switch(store, keys::auto_load)) << on;
    }
    for (const char* off : { "y", "true", "", "No", "yes!" }) {
        value(keys::auto_load, off);
        EXPECT_FALSE(keys::read_switch(store, keys::auto_load)) << off;
    }
    EXPECT_FALSE(keys::read_switch(store, keys::confirm_close)) << "a missing switch is off";
}

TEST_F(settings_keys_test, file_without_config_starts_quietly_in_memory)
{
    load("<Tarvoline><Path><Main>/data</Main></Path></Tarvoline>");
    EXPECT_FALSE(keys::read_switch(store, keys::log_enabled));
    EXPECT_FALSE(keys::read_switch(store, keys::confirm_close));
    EXPECT_FALSE(keys::read_switch(store, keys::auto_load));
    EXPECT_EQ(keys::read_db_mode(store), keys::catalogue_mode::memory);
    EXPECT_EQ(keys::read_text(store, keys::log_path), "");
    EXPECT_EQ(keys::read_text(store, keys::main_path), "/data");

    std::string ignored;
    EXPECT_FALSE(store.get("Tarvoline/Config", ignored, false)) << "reading never creates a key";
}

TEST_F(settings_keys_test, db_mode_file_in_any_case_selects_file_mode)
{
    load("<Tarvoline/>");
    for (const char* file : { "FILE", "file", "File" }) {
        value(keys::db_mode, file);
        EXPECT_EQ(keys::read_db_mode(store), keys::catalogue_mode::file) << file;
    }
    for (const char* memory : { "memory", "disk", "" }) {
        value(keys::db_mode, memory);
        EXPECT_EQ(keys::read_db_mode(store), keys::catalogue_mode::memory) << memory;
    }
}

TEST_F(settings_keys_test, colours_read_red_green_blue_or_fall_back_to_the_system_colour)
{
    load("<Tarvoline/>");
    value(keys::grid_selected_background, "255,0,0");
    EXPECT_EQ(keys::read_colour(store, keys::grid_selected_background), 0x0000FFu);
    value(keys::grid_selected_background, "1, 2 ,3,99");
    EXPECT_EQ(keys::read_colour(store, keys::grid_selected_background), 0x030201u);
    value(keys::grid_selected_background, "256,0,0");
    EXPECT_EQ(keys::read_colour(store, keys::grid_selected_background), 0x000000u) << "low 8 bits of each number";

    value(keys::grid_selected_background, "1,2");
    EXPECT_EQ(keys::read_colour(store, keys::grid_selected_background), highlight_colour);
    value(keys::grid_unselected_background, "");
    EXPECT_EQ(keys::read_colour(store, keys::grid_unselected_background), window_colour);
    EXPECT_EQ(keys::read_colour(store, keys::grid_selected_foreground), highlight_text_colour);
    EXPECT_EQ(keys::read_colour(store, keys::grid_unselected_foreground), window_text_colour);
    EXPECT_EQ(keys::read_colour(store, keys::grid_caption_background), button_face_colour);
    EXPECT_EQ(keys::read_colour(store, keys::grid_mock_copy_background), button_face_colour);
    EXPECT_EQ(keys::read_colour(store, keys::merge_worse_background), window_colour);
    EXPECT_EQ(keys::read_colour(store, keys::merge_better_foreground), window_text_colour);
    EXPECT_EQ(keys::read_colour(store, keys::grid_sorted_background, 0x123456), 0x123456u);
}

TEST_F(settings_keys_test, writers_use_the_words_the_file_expects)
{
    temp_folder other;
    std::vector<std::string> changed;
    store.load((other.path() / "settings.xml").string());
    store.callback([&changed](const std::string& key, const std::string&, const std::string&) { changed.push_back(key); });

    ASSERT_TRUE(keys::write_switch(store, keys::confirm_close, true));
    ASSERT_TRUE(keys::write_on_off(store, keys::filter_missing_main, false));
    ASSERT_TRUE(keys::write_colour(store, keys::merge_better_background, RGB(12, 34, 56)));
    ASSERT_TRUE(keys::write_integer(store, keys::window_top, -8));
    ASSERT_TRUE(keys::write_text(store, keys::export_file("CSV"), "/tmp/out.csv"));
    ASSERT_TRUE(store.save());

    const std::string saved = temp_folder::read(store.file_name());
    EXPECT_NE(saved.find("<ConfirmClose>Yes</ConfirmClose>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Filter name=\"missing_main\">Off</Filter>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<BetterChoice format=\"rgb\">12,34,56</BetterChoice>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<Top>-8</Top>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<File type=\"CSV\">/tmp/out.csv</File>"), std::string::npos) << saved;
    EXPECT_EQ(changed.size(), 5u);

    EXPECT_EQ(keys::read_colour(store, keys::merge_better_background), RGB(12, 34, 56));
    EXPECT_FALSE(keys::read_on_off(store, keys::filter_missing_main));
    ASSERT_TRUE(keys::write_on_off(store, keys::filter_missing_main, true));
    EXPECT_TRUE(keys::read_on_off(store, keys::filter_missing_main));
}

TEST_F(settings_keys_test, column_widths_share_one_element_and_reject_absurd_values)
{
    load("<Tarvoline><Appearance><Grid><Columns>"
         "<Width name=\"File Size\">120</Width><Width name=\"File Time\">-5</Width>"
         "<Width name=\"Backup Size\">20000</Width><Width name=\"Backup Time\"></Width>"
         "<Width name=\"Difference\">80px</Width>"
         "</Columns></Grid></Appearance></Tarvoline>");
    EXPECT_EQ(keys::read_column_width(store, "File Size", 90), 120);
    EXPECT_EQ(keys::read_column_width(store, "File Time", 90), 90);
    EXPECT_EQ(keys::read_column_width(store, "Backup Size", 90), 90);
    EXPECT_EQ(keys::read_column_width(store, "Backup Time", 90), 90);
    EXPECT_EQ(keys::read_column_width(store, "Difference", 90), 80);
    EXPECT_EQ(keys::read_column_width(store, "File ID", 40), 40);

    // The options dialog writes the quoted form; the grid reads the unquoted one.
    ASSERT_TRUE(store.set("Tarvoline/Appearance/Grid/Columns/Width[@name='File Size']", 150));
    EXPECT_EQ(keys::read_column_width(store, "File Size", 90), 150);
    ASSERT_TRUE(keys::write_column_width(store, "file size", 160));
    std::string text;
    ASSERT_TRUE(store.get("Tarvoline/Appearance/Grid/Columns/Width[@name='File Size']", text, false));
    EXPECT_EQ(text, "160");
}

TEST_F(settings_keys_test, open_with_keys_refuse_extensions_the_key_cannot_carry)
{
    load("<Tarvoline/>");
    ASSERT_TRUE(keys::write_open_with(store, "txt", "/usr/bin/gedit"));
    EXPECT_EQ(keys::read_open_with(store, "TXT"), "/usr/bin/gedit");
    EXPECT_EQ(keys::read_open_with(store, "pdf"), "");

    EXPECT_FALSE(keys::write_open_with(store, "a]txt", "/bin/wrong"));
    EXPECT_FALSE(keys::write_open_with(store, "'txt", "/bin/wrong"));
    EXPECT_FALSE(keys::write_open_with(store, "", "/bin/wrong"));
    EXPECT_EQ(keys::read_open_with(store, "txt"), "/usr/bin/gedit");
    EXPECT_EQ(keys::read_open_with(store, "a]txt"), "");
}

TEST_F(settings_keys_test, window_edges_need_all_four_and_a_real_rectangle)
{
    load("<Tarvoline><Appearance><Window><Top>10</Top><Left>20</Left><Width>820</Width></Window>"
         "</Appearance></Tarvoline>");
    keys::window_edges edges;
    edges.left = 5;
    EXPECT_FALSE(keys::read_window_edges(store, edges)) << "a missing Height keeps the window's own placement";
    EXPECT_EQ(edges.left, 5);

    value(keys::window_height, "5");
    EXPECT_FALSE(keys::read_window_edges(store, edges)) << "bottom above top";

    keys::window_edges stored;
    stored.left = -4;
    stored.top = 30;
    stored.right = 1200;
    stored.bottom = 900;
    stored.maximised = true;
    ASSERT_TRUE(keys::write_window_edges(store, stored));
    ASSERT_TRUE(keys::read_window_edges(store, edges));
    EXPECT_EQ(edges.left, -4);
    EXPECT_EQ(edges.top, 30);
    EXPECT_EQ(edges.right, 1200);
    EXPECT_EQ(edges.bottom, 900);
    EXPECT_TRUE(edges.maximised);
    EXPECT_EQ(keys::read_text(store, keys::window_maximised), "Yes");
}

TEST_F(settings_keys_test, choices_read_in_their_own_spelling)
{
    load("<Tarvoline><MergeOptions><OnConflict>putoff</OnConflict></MergeOptions>"
         "<AutoMerge>KeepBigger</AutoMerge></Tarvoline>");
    EXPECT_EQ(keys::read_choice(store, keys::on_conflict, keys::conflict_rule_choices()), "PutOff");
    EXPECT_EQ(keys::read_choice(store, keys::auto_merge, keys::auto_merge_choices(), "KeepNewer"), "KeepNewer");
    EXPECT_EQ(keys::read_choice(store, keys::export_format, keys::export_format_choices()), "");
}

TEST_F(settings_keys_test, shipped_settings_make_a_useful_first_start)
{
    ASSERT_TRUE(store.load(TARVOLINE_RESOURCES "/settings.xml")) << store.last_error();
    EXPECT_TRUE(keys::read_switch(store, keys::log_enabled));
    EXPECT_FALSE(keys::read_text(store, keys::log_path).empty());
    EXPECT_EQ(keys::read_text(store, keys::db_schema), "schema.sql");
    EXPECT_EQ(keys::read_text(store, keys::script_repo), "scripts.xml");
    EXPECT_EQ(keys::read_db_mode(store), keys::catalogue_mode::memory);
    EXPECT_FALSE(keys::read_switch(store, keys::auto_load));
    EXPECT_NE(keys::read_choice(store, keys::on_conflict, keys::conflict_rule_choices()), "");
    for (const auto& definition : keys::fixed_keys()) {
        if (definition.form != keys::key_form::colour)
            continue;
        std::string text;
        ASSERT_TRUE(store.get(definition.key, text, false)) << definition.key;
        EXPECT_EQ(keys::parse_colour(text, 0xFFFFFFFF), keys::read_colour(store, definition.key));
        EXPECT_NE(keys::parse_colour(text, 0xFFFFFFFF), 0xFFFFFFFFu) << definition.key;
    }
    for (const auto& type : { "CSV", "XML", "EXCEL", "DB" })
        EXPECT_FALSE(keys::read_text(store, keys::export_file(type)).empty()) << type;
}

} // namespace
