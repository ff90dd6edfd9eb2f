// Arbitrary file contents for the time file reader: besides staying free of
// crashes and sanitizer reports, it must give exactly what the standard
// library's own reading of the trimmed first line gives, look at no more than
// its first bytes, and read back every line the writer makes.
#include <charconv>
#include <cstdlib>
#include <string>

#include "storage/time_file.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The value of the first line as std::from_chars reads it after trimming
// blanks and tabs and a "+" before a digit; nothing when it is not all read.
std::optional<std::int32_t> Expected(std::string_view data) {
    std::string_view line = data.substr(0, data.find_first_of("\r\n"));
    if (line.size() > czasomir::kTimeFileLineLimit) return std::nullopt;
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    line = line.substr(first, line.find_last_not_of(" \t") - first + 1);
    if (line.size() > 1 && line[0] == '+' && line[1] >= '0' && line[1] <= '9') line.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), value);
    if (error != std::errc() || end != line.data() + line.size()) return std::nullopt;
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const std::optional<std::int32_t> value = czasomir::ParseTotal(data);
    Check(value == Expected(data));
    Check(czasomir::ParseTotal(data.substr(0, czasomir::kTimeFileLineLimit + 1)) == value);
    if (value) Check(czasomir::ParseTotal(czasomir::FormatTotalLine(*value)) == value);
    return 0;
}
