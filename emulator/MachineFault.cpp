#include "emulator/MachineFault.h"

namespace {

std::string FaultMessage(TFaultKind kind, std::int64_t address, const std::string& detail)
{
    std::string message = EMachineFault::KindText(kind);
    message += " at address ";
    message += std::to_string(address);
    if (!detail.empty()) {
        message += ": ";
        message += detail;
    }
    return message;
}

} // namespace

EMachineFault::EMachineFault(TFaultKind kind, std::int64_t address, const std::string& detail)
    : std::runtime_error(FaultMessage(kind, address, detail)), kind_(kind), address_(address)
{
}

const char* EMachineFault::KindText(TFaultKind kind)
{
    switch (kind) {
    case TFaultKind::DivisionByZero:
        return "Division by zero";
    case TFaultKind::DivisionOverflow:
        return "Division overflow";
    case TFaultKind::BadInput:
        return "Input is not an integer";
    case TFaultKind::RegisterOutOfRange:
        return "Register out of range";
    }
    return "Machine fault";
}
