// Reading an exercise file from disk: the same size limit and wording as for programs, so a
// teacher's file and a student's program are refused alike.

#include "exercise/Exercise.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

namespace {

// The largest exercise file that opens, as for programs: exactly 4 MiB still does.
constexpr std::uintmax_t MaxExerciseFileBytes = 4 * 1024 * 1024;

[[noreturn]] void Refuse(const std::string& path, const std::string& reason)
{
    throw EExerciseFileError("Could not open " + path + ": " + reason);
}

} // namespace

TExercise LoadExercise(const std::string& path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0)
        Refuse(path, std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        Refuse(path, "it is a folder, not a file");
    if (!S_ISREG(status.st_mode))
        Refuse(path, "it is not a regular file");
    const auto size = static_cast<std::uintmax_t>(status.st_size);
    if (size > MaxExerciseFileBytes)
        Refuse(path, "it is larger than 4 MiB (" + std::to_string(size) + " bytes)");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        Refuse(path, std::strerror(errno));
    std::string text;
    text.reserve(size);
    // Read no more than one byte past the limit, in case the file grew since.
    char buffer[65536];
    while (file && text.size() <= MaxExerciseFileBytes) {
        file.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad())
        Refuse(path, std::strerror(errno));
    if (text.size() > MaxExerciseFileBytes)
        Refuse(path, "it is larger than 4 MiB");
    return ReadExercise(text, path);
}
