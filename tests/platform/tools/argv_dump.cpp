// A child for the launcher tests: writes its arguments after the first, each followed by a
// zero byte, to the file named by the first.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out)
        return 3;
    for (int index = 2; index < argc; ++index)
        std::fwrite(argv[index], 1, std::strlen(argv[index]) + 1, out);
    return std::fclose(out) == 0 ? 0 : 4;
}
