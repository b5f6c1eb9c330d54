#include "ExchangeRules.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace exchange {
namespace {

constexpr std::size_t kMaxNumberChars = 31;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Field {
    std::string text; // at most 31 characters, leading blanks removed
    bool startsWithZero() const { return !text.empty() && text[0] == '0'; }
};

Field numberField(const std::string& raw) {
    std::string text = raw.substr(0, kMaxNumberChars);
    std::size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    return {text.substr(first)};
}

bool onlyBlanksFrom(const char* p) {
    while (isBlank(*p))
        ++p;
    return *p == '\0';
}

// Magnitude and sign of a decimal integer as strtoul/strtol see it, saturated at 2^64-1.
struct Integer {
    bool ok = false;
    bool negative = false;
    unsigned long long magnitude = 0;
};

Integer scanInteger(const Field& field) {
    const char* begin = field.text.c_str();
    const char* p = begin;
    Integer result;
    if (*p == '+' || *p == '-') result.negative = *p++ == '-';
    if (*p < '0' || *p > '9')
        return result; // no digits: converts to zero, which the zero rule then refuses
    char* end = nullptr;
    errno = 0;
    result.magnitude = std::strtoull(p, &end, 10);
    if (errno == ERANGE) result.magnitude = ~0ull;
    result.ok = onlyBlanksFrom(end) && (result.magnitude != 0 || field.startsWithZero());
    return result;
}

} // namespace

std::string formatFloat(float value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", 6, double(value));
    return buffer;
}

std::optional<float> parseFloat(const std::string& text) {
    const Field field = numberField(text);
    char* end = nullptr;
    const double value = std::strtod(field.text.c_str(), &end);
    if ((value == 0 && !field.startsWithZero()) || !onlyBlanksFrom(end)) return std::nullopt;
    return float(value);
}

std::optional<std::uint32_t> parseUnsigned(const std::string& text) {
    const Integer n = scanInteger(numberField(text));
    if (!n.ok) return std::nullopt;
    if (n.magnitude > UINT32_MAX) return UINT32_MAX; // a 32-bit strtoul saturates on overflow
    const auto value = std::uint32_t(n.magnitude);
    return n.negative ? std::uint32_t(0u - value) : value;
}

std::optional<std::int32_t> parseSigned(const std::string& text) {
    const Integer n = scanInteger(numberField(text));
    if (!n.ok) return std::nullopt;
    if (n.negative)
        return n.magnitude > 2147483648ull ? INT32_MIN : std::int32_t(-(long long)n.magnitude);
    return n.magnitude > INT32_MAX ? INT32_MAX : std::int32_t(n.magnitude);
}

std::string rangeMessage(long long min, long long max) {
    return "Please enter an integer between " + std::to_string(min) + " and " +
           std::to_string(max) + ".";
}

} // namespace exchange
