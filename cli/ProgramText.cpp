#include "ProgramText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        if (end == std::string::npos)
            end = text.size();
        else if (end > start && text[end - 1] == '\r')
            --end;
        lines.emplace_back(text, start, end - start);
        start = next;
    }
    return lines;
}

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
