// Arbitrary contents of historia.csv: besides staying free of crashes and
// sanitizer reports, the reader keeps every line, so what the writer makes of
// them reads back to the very same text.
#include <cstdlib>
#include <string>

#include "storage/history_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string once = czasomir::FormatHistory(czasomir::ParseHistory({reinterpret_cast<const char*>(data), size}));
    if (czasomir::FormatHistory(czasomir::ParseHistory(once)) != once) std::abort();
    return 0;
}
