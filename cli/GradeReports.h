#pragma once
// The results of a class check as files other programs read: a gradebook's CSV and the JUnit
// XML of learning platforms and CI servers.

#include "cli/ClassCheck.h"

#include <stdexcept>
#include <string>
#include <vector>

// A report that could not be written; what() names the file and why.
class EReportError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "program,passed,total" and one row per program, quoted as RFC 4180 asks where needed.
std::string GradeCsv(const std::vector<TProgramGrade>& grades);
// <testsuites> with one <testsuite> per program and one <testcase> per case.
std::string GradeJUnit(const TExercise& exercise, const std::vector<TProgramGrade>& grades);

// Writes text to path, replacing the file; throws EReportError.
void WriteReport(const std::string& path, const std::string& text);
