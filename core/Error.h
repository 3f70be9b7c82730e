#pragma once

#include <stdexcept>
#include <string>

namespace tarnwick {

// An error that ends a command; its message is written for the user and shown as it stands.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that was expected to be an integer and is not.
class ConversionError : public Error {
public:
    using Error::Error;
};

} // namespace tarnwick
