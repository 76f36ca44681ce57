#pragma once

#include <string>
#include <typeinfo>

#include "OrvaneNet/MatrixType.h"

namespace OrvaneNet {

/// Raised when an operation is handed a matrix of a kind it cannot take,
/// most often a right-hand side that is not a dense general matrix
/// (LinearEquation::Solve with a band b, say). Derived from std::bad_cast, so
/// code that catches std::bad_cast keeps working; what() says what was
/// expected and what was given, for example
/// "The right-hand side must be a dense general matrix; it is a
/// DoubleGeneralBand matrix."
class BadKindCast : public std::bad_cast {
 public:
  /// role names the argument ("The right-hand side"); expected is the kind
  /// it must have (the dense general kinds read as "dense general"), given
  /// the kind it has (by its MatrixType name).
  BadKindCast(const std::string& role, MatrixType expected, MatrixType given);

  /// The whole message.
  const char* what() const noexcept override { return m_message.c_str(); }
  /// The kind the operation needs.
  MatrixType get_Expected() const noexcept { return m_expected; }
  /// The kind it was given.
  MatrixType get_Given() const noexcept { return m_given; }

 private:
  std::string m_message;
  MatrixType m_expected;
  MatrixType m_given;
};

}  // namespace OrvaneNet
