// Writes its arguments, each followed by a zero byte, to a new file named by its process id in
// the folder given by TARVOLINE_ARGV_FOLDER; the file appears complete or not at all.

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

int main(int argc, char** argv)
{
    const char* folder = std::getenv("TARVOLINE_ARGV_FOLDER");
    if (folder == nullptr)
        return 2;
    const std::string name = std::string(folder) + "/" + std::to_string(::getpid());
    const std::string temporary = std::string(folder) + "/.partial-" + std::to_string(::getpid());
    std::FILE* out = std::fopen(temporary.c_str(), "wb");
    if (out == nullptr)
        return 1;
    for (int index = 1; index < argc; ++index) {
        std::fputs(argv[index], out);
        std::fputc('\0', out);
    }
    if (std::fclose(out) != 0)
        return 1;
    return std::rename(temporary.c_str(), name.c_str()) == 0 ? 0 : 1;
}
