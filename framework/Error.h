#pragma once

#include <stdexcept>
#include <string>

// An error that a handler lets escape on purpose: the handler boundary reports its text
// in a stop box. An empty text stands for an error that carries no description.
class Error : public std::runtime_error {
public:
    explicit Error(const std::string& text)
        : std::runtime_error(text) {}
};
