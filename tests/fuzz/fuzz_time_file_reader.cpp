// Arbitrary file contents for the time file reader: besides staying free of
// crashes and sanitizer reports, it looks at no more than its first bytes and
// reads back every line the writer makes. (What it reads: the unit tests' table.)
#include <cstdlib>
#include <string>

#include "storage/time_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view data(reinterpret_cast<const char*>(bytes), size);
    const std::optional<std::int32_t> value = czasomir::ParseTotal(data);
    if (czasomir::ParseTotal(data.substr(0, czasomir::kTimeFileLineLimit + 1)) != value) std::abort();
    if (value && czasomir::ParseTotal(czasomir::FormatTotalLine(*value)) != value) std::abort();
    return 0;
}
