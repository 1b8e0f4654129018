#include "translator/ErrorText.h"

std::string WithFinalPeriod(std::string message)
{
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        message += '.';
    return message;
}
