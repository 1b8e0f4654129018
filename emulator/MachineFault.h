#pragma once
// The failures that end a run: the machine raises them, the worker keeps them.

#include <cstdint>
#include <stdexcept>
#include <string>

enum class TFaultKind {
    DivisionByZero,
    DivisionOverflow,   // -2147483648 divided by -1
    BadInput,           // the entered text is not an integer
    RegisterOutOfRange  // a register outside R1 to R15 was read or written
};

class EMachineFault : public std::runtime_error {
public:
    // `detail` is appended to the message when not empty (e.g. the conversion's own message).
    EMachineFault(TFaultKind kind, std::int64_t address, const std::string& detail = {});

    TFaultKind Kind() const { return kind_; }
    // Address of the opcode byte of the failing instruction.
    std::int64_t Address() const { return address_; }

    static const char* KindText(TFaultKind kind);

private:
    TFaultKind kind_;
    std::int64_t address_;
};
