#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The text rules of the data exchange, as plain functions. A number field reads at most its
// first 31 characters, skips leading blanks and tabs, and accepts trailing blanks and tabs
// only. A converted zero counts only when the text starts with the digit 0, so ".0", "-0"
// and an empty field are refused.
namespace exchange {

inline constexpr const char* kNumberMessage = "Please enter a number.";
inline constexpr const char* kPositiveIntegerMessage = "Please enter a positive integer.";
inline constexpr const char* kIntegerMessage = "Please enter an integer.";

// "%.*g" with six significant digits: 25.0 -> "25", 0.1 -> "0.1".
std::string formatFloat(float value);
std::optional<float> parseFloat(const std::string& text);
// As a 32-bit strtoul in base 10: a leading minus wraps modulo 2^32.
std::optional<std::uint32_t> parseUnsigned(const std::string& text);
// As a 32-bit strtol in base 10.
std::optional<std::int32_t> parseSigned(const std::string& text);
// "Please enter an integer between MIN and MAX."
std::string rangeMessage(long long min, long long max);

} // namespace exchange
