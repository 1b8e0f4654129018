#include "ProgramText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

std::string ReadSource(const std::string& path)
{
    const bool standardInput = path == "-";
    using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;
    FilePtr file(standardInput ? stdin : std::fopen(path.c_str(), "rb"),
                 standardInput ? [](std::FILE*) { return 0; } : &std::fclose);
    const std::string name = standardInput ? "standard input" : "'" + path + "'";
    if (!file)
        throw ESourceError("cannot read " + name + ": " + std::strerror(errno));

    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        text.append(buffer, got);
    if (std::ferror(file.get()))
        throw ESourceError("cannot read " + name + ": " + std::strerror(errno));
    return text;
}
