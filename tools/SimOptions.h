#pragma once

#include "LineGenerator.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// The simulator's command line.
struct SimOptions {
    int port = 1;            // linked as COM<port>
    std::string dir = ".";   // folder that gets the link
    double rate = 2;         // lines per second; 0: as fast as the reader takes them
    std::uint64_t count = 0; // lines to send; 0: until stopped
    LineSettings lines;
    bool waitOpen = false;
    bool quiet = false;
    bool help = false;
    bool operator==(const SimOptions&) const = default;
};

// A bad option or value; what() is a one-line message naming it.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Long options only, "--name value" or
// "--name=value"; "--help" stops the reading. Throws UsageError.
SimOptions parseOptions(const std::vector<std::string>& args);

std::string helpText();
