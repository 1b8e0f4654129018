#include "cli/GradeReports.h"

#include <pugixml.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// A field goes in double quotes, its quotes doubled, when it holds a comma, a quote or a line
// break; any other text stands as it is.
std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string GradeCsv(const std::vector<TProgramGrade>& grades)
{
    std::string csv = "program,passed,total\r\n";
    for (const TProgramGrade& grade : grades)
        csv += CsvField(grade.Program) + "," + std::to_string(grade.Check.Passed()) + "," +
               std::to_string(grade.Check.Cases.size()) + "\r\n";
    return csv;
}

std::string GradeJUnit(const TExercise& exercise, const std::vector<TProgramGrade>& grades)
{
    pugi::xml_document document;
    auto declaration = document.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    auto suites = document.append_child("testsuites");
    suites.append_attribute("name") = exercise.Title.c_str();
    for (const TProgramGrade& grade : grades) {
        const std::size_t total = grade.Check.Cases.size();
        auto suite = suites.append_child("testsuite");
        suite.append_attribute("name") = grade.Program.c_str();
        suite.append_attribute("tests") = static_cast<unsigned long long>(total);
        suite.append_attribute("failures") =
            static_cast<unsigned long long>(total - grade.Check.Passed());
        for (std::size_t k = 0; k < total && k < exercise.Cases.size(); ++k) {
            auto testCase = suite.append_child("testcase");
            testCase.append_attribute("name") = exercise.Cases[k].Name.c_str();
            testCase.append_attribute("classname") = grade.Program.c_str();
            const TCaseResult& result = grade.Check.Cases[k];
            if (!result.Passed)
                testCase.append_child("failure").append_attribute("message") =
                    result.Reason.c_str();
        }
    }
    std::ostringstream text;
    document.save(text, "  ");
    return text.str();
}

void WriteReport(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file)
        file << text;
    if (file)
        file.close();
    if (!file)
        throw EReportError("Could not save " + path + ": " + std::strerror(errno));
}
