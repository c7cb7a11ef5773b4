// SPDX-License-Identifier: GPL-3.0-or-later
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

// An operation that does not apply to this file as it is; the file was left unchanged.
struct ERefused : EBreloError {
  using EBreloError::EBreloError;
};

// The file under the loaded map's name is no longer the file that was loaded: another
// program replaced, changed or removed it. Nothing was written.
struct EChangedOnDisk : ERefused {
  using ERefused::ERefused;
};

// The user stopped a long command; what it had begun was taken back.
struct ECancelled : EBreloError {
  ECancelled() : EBreloError("cancelled") {}
};

// A write failed after part of a change reached the file: it may disagree with itself.
struct EDamaged : EIoError {
  using EIoError::EIoError;
};

}  // namespace brelo
