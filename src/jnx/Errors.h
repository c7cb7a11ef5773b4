#pragma once
// Error types raised by the core. Messages say what failed and where.
#include <stdexcept>
#include <string>

namespace brelo {

struct EBreloError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The content of a file is not what the format allows (counts, sizes, fields).
struct EFormatError : EBreloError {
  using EBreloError::EBreloError;
};

// A file could not be opened, read or written.
struct EIoError : EBreloError {
  using EBreloError::EBreloError;
};

}  // namespace brelo
