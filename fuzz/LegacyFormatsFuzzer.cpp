// "kvlo.dat" of a predecessor installation: any bytes are read or refused,
// and what is read fits the predecessor's fields.

#include "core/legacy/LegacyFormats.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<mvr::Cqdx_kvlo_format_info> formats;
    if (!mvr::ReadFormats({data, size}, &formats)) {
        return 0;
    }
    for (const mvr::Cqdx_kvlo_format_info& format : formats) {
        for (const mvr::Cprev_kvlo_list_info& list : format.lists) {
            if (list.name.size() >= mvr::kKvloNameSize) {
                std::abort();
            }
        }
        for (const mvr::Cqdx_kvlo_directory_info& directory : format.directories) {
            if (directory.path.size() >= mvr::kKvloPathSize) {
                std::abort();
            }
        }
    }
    return 0;
}
