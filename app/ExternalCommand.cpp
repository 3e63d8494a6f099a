#include "app/ExternalCommand.h"

#include "platform/base/process_launcher.h"

#include <utility>

namespace external_command {

namespace {

// XML 1.0 can't hold these bytes, so a tool text read from the settings never contains them:
// they stand for the placeholders while the text is split into words.
constexpr char backup_mark = '\x01';
constexpr char main_mark = '\x02';

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

std::string replace_marks(const std::string& word, const std::string& backup_file, const std::string& main_file)
{
    std::string result;
    for (char c : word) {
        if (c == backup_mark)
            result += backup_file;
        else if (c == main_mark)
            result += main_file;
        else
            result += c;
    }
    return result;
}

} // namespace

command open_file(const std::string& program, const std::string& file)
{
    return { quoted(program) + " " + quoted(file), { program, file } };
}

command open_with(const std::string& program, const std::string& options, const std::string& file)
{
    command composed;
    composed.text = quoted(program) + " " + options + " " + quoted(file);
    composed.arguments.push_back(program);
    for (std::string& word : platform::split_options(options))
        composed.arguments.push_back(std::move(word));
    composed.arguments.push_back(file);
    return composed;
}

bool compare_files(const std::string& tool, const std::string& backup_file, const std::string& main_file,
                   command& composed)
{
    const auto second = tool.rfind('?');
    if (second == std::string::npos || second == 0)
        return false;
    const auto first = tool.rfind('?', second - 1);
    if (first == std::string::npos)
        return false;

    std::string text = tool;
    text.replace(second, 1, quoted(main_file));
    text.replace(first, 1, quoted(backup_file));

    std::string marked = tool;
    marked[second] = main_mark;
    marked[first] = backup_mark;
    command result;
    result.text = text;
    for (const std::string& word : platform::split_options(marked))
        result.arguments.push_back(replace_marks(word, backup_file, main_file));
    if (result.arguments.empty())
        return false;
    composed = std::move(result);
    return true;
}

} // namespace external_command
