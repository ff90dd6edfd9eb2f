// Feeds arbitrary file contents to the time file reader. Besides staying free
// of crashes and sanitizer reports, the reader must return only a value that
// the file's first line really holds, must read every line it writes, and must
// not depend on anything past the bytes it is given.
#include "storage/time_file.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// The first line, up to CR, LF or the end, found independently of the reader.
std::string_view FirstLine(std::string_view data) {
    std::size_t end = 0;
    while (end < data.size() && data[end] != '\r' && data[end] != '\n') ++end;
    return data.substr(0, end);
}

std::string_view Trimmed(std::string_view data) {
    std::size_t end = data.size();
    std::size_t begin = 0;
    while (begin < end && (data[begin] == ' ' || data[begin] == '\t')) ++begin;
    while (end > begin && (data[end - 1] == ' ' || data[end - 1] == '\t')) --end;
    return data.substr(begin, end - begin);
}

// Whether the text is the value written in decimal, with an optional sign
// ("+" only for values above -1) and any number of leading zeros.
bool Spells(std::string_view text, std::int32_t value) {
    const std::string digits = std::to_string(value < 0 ? -static_cast<std::int64_t>(value) : value);
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        if (text.front() == '-' ? value > 0 : value < 0) return false;
        text.remove_prefix(1);
    } else if (value < 0) {
        return false;
    }
    if (text.size() < digits.size()) return false;
    const std::string_view zeros = text.substr(0, text.size() - digits.size());
    return zeros.find_first_not_of('0') == std::string_view::npos && text.ends_with(digits);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const std::optional<std::int32_t> value = czasomir::ParseTotal(data);

    // The reader sees only the file's first bytes: more of the file changes nothing.
    Check(czasomir::ParseTotal(data.substr(0, czasomir::kTimeFileLineLimit + 1)) == value);

    const std::string_view line = FirstLine(data);
    const std::string_view number = Trimmed(line);
    if (value) {
        Check(line.size() <= czasomir::kTimeFileLineLimit);
        Check(Spells(number, *value));
    } else if (line.size() <= czasomir::kTimeFileLineLimit) {
        // Nothing readable is refused: the line is no whole integer in range.
        std::string_view digits = number;
        if (digits.size() > 1 && digits[0] == '+' && digits[1] >= '0' && digits[1] <= '9') digits.remove_prefix(1);
        std::int32_t parsed = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
        Check(error != std::errc() || end != digits.data() + digits.size());
    }

    // Every line the writer produces reads back as its value.
    if (size >= 4) {
        std::int32_t total = 0;
        for (int i = 0; i < 4; ++i) total = static_cast<std::int32_t>(static_cast<std::uint32_t>(total) << 8 | bytes[i]);
        Check(czasomir::ParseTotal(czasomir::FormatTotalLine(total)) == total);
    }
    return 0;
}
