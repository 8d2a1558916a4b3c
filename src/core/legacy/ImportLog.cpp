#include "core/legacy/ImportLog.h"

#include "core/platform/AtomicFile.h"

#include <span>

namespace mvr {

void CImportLog::Line(std::string_view text) {
    text_ += text;
    text_ += "\r\n";
}

bool CImportLog::AppendTo(const std::string& path) const {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text_.data());
    return AppendFileAtomically(path, std::span<const std::uint8_t>(bytes, text_.size()));
}

} // namespace mvr
