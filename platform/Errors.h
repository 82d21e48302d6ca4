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

// The input/output error of a read past the end of a file: a reader of a damaged file catches it
// by its type to say which file and why, whatever the language of its text.
class EReadBeyondEnd : public EInOutError {
 public:
  EReadBeyondEnd();
};

}  // namespace qor
