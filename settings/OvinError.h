#pragma once

#include <stdexcept>
#include <string>

namespace ovin {

/// An error whose text is shown to the user as it stands (the application's
/// error report); the texts are the program's own.
class OvinError : public std::runtime_error {
public:
    explicit OvinError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace ovin
