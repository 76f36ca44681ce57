#pragma once

#include <stdexcept>
#include <string>

namespace OrvaneNet {

/// The one exception type for failures the library detects itself; what() is
/// the fixed message, byte for byte.
class OrvaneException : public std::runtime_error {
 public:
  /// An exception whose what() is message.
  explicit OrvaneException(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace OrvaneNet
