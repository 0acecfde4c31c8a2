#pragma once

#include <exception>

namespace qelvrin {

// The numeric failure codes the viewer's commands report.
enum : int {
    ErrIndexOutOfRange = 9,
    ErrFileNotFound = 53,
    ErrInvalidValue = 380,
    ErrCancelled = 32755,
};

struct ErrorCode : std::exception {
    explicit ErrorCode(int c) : code(c) {}
    const char* what() const noexcept override { return "qelvrin error code"; }
    int code;
};

} // namespace qelvrin
