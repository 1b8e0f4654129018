#include "cli/ProgramText.h"

#include "files/ProgramFile.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace {

TProgramRead ReadStandardInput()
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return TProgramRead{std::nullopt, input.errorString()};
    return ReadProgramStream(input, QStringLiteral("standard input"));
}

} // namespace

std::string ReadSource(const std::string& path)
{
    const TProgramRead read =
        path == "-" ? ReadStandardInput() : ReadProgramFile(QString::fromLocal8Bit(path));
    if (!read.Program)
        throw ESourceError(read.Error.toStdString());
    return read.Program->Text.toStdString();
}
