#pragma once
// The two kinds of error the program raises: the general exception, whose text a user can act
// on, and the input/output error of the file layer. Expected conditions are plain results.

#include <stdexcept>
#include <string>

namespace qor {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

class EInOutError : public Exception {
 public:
  explicit EInOutError(const std::string& message) : Exception(message) {}
};

// The input/output error's text for a read past the end of a file.
inline constexpr const char* kReadBeyondEnd = "Lecture au-delà de la fin de fichier";

}  // namespace qor
