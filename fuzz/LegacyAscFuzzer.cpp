// A predecessor's Hermes folder: no index, its symbols are the base names of
// its "*.ASC" price files, and their bars are read from them. The input holds
// up to three files cut at the part separator, each its name on the first
// line and its content after it. The predecessor's symbol list, the folder's
// index and every symbol's price file are read as the import and an update
// read them.

#include "support/FuzzInput.h"
#include "support/RecordChecks.h"
#include "support/TempFolder.h"

#include "core/formats/ExportDataFile.h"
#include "core/formats/ExportDirectory.h"
#include "core/legacy/MasterFile.h"
#include "core/platform/TextUtil.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

namespace {

using mvr::fuzz::Require;

// Names the file system takes as one file in the folder.
bool IsPlainFileName(std::string_view name) {
    return !name.empty() && name.size() <= 200 && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string_view::npos;
}

bool IsAscName(std::string_view name) {
    return name.size() > 4 && mvr::EqualsIgnoreCase(name.substr(name.size() - 4), ".asc");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    mvr::fuzz::EmptyProcessTempFolder();
    const std::filesystem::path folder(mvr::fuzz::ProcessTempFolder());
    std::set<std::string> ascNames;
    for (const auto part : mvr::fuzz::SplitParts({data, size}, 3)) {
        const std::string_view text(reinterpret_cast<const char*>(part.data()), part.size());
        const std::size_t end = text.find('\n');
        const std::string name(text.substr(0, end));
        if (!IsPlainFileName(name) || std::filesystem::exists(folder / name)) {
            continue;
        }
        std::ofstream out(folder / name, std::ios::binary);
        if (end != std::string_view::npos) {
            out.write(text.data() + end + 1, static_cast<std::streamsize>(text.size() - end - 1));
        }
        if (IsAscName(name)) {
            ascNames.insert(name);
        }
    }

    // The predecessor's list: every ".ASC" file whose base name can be a
    // symbol.
    std::multiset<std::string> symbols;
    for (const std::string& name : ascNames) {
        if (name.size() - 4 < mvr::qdxMasterAsciiEntry::kSymbolSize) {
            symbols.insert(name.substr(0, name.size() - 4));
        }
    }
    const auto entries = mvr::ReadMasterFile(folder.string(), mvr::kFormatHermes);
    Require(entries.size() == symbols.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Require(symbols.count(entries[i].symbol) != 0);
    }

    // The folder's own index: every ".asc" file, whatever its base name. Its
    // files are found without regard to letter case, so names that differ
    // only in case (possible here, not where the predecessor ran) are one.
    std::set<std::string> caseless;
    for (const std::string& name : ascNames) {
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        caseless.insert(lower);
    }
    mvr::CExportDirectory directory;
    Require(directory.Open(folder.string(), mvr::kFormatHermes));
    Require(directory.SymbolCount() == caseless.size());
    for (const mvr::ExportSymbolInfo& symbol : directory.Symbols()) {
        mvr::CExportDataFile file;
        file.UseFolderListing(&directory.FolderListing());
        file.Read(folder.string(), symbol, mvr::kFormatHermes);
    }
    return 0;
}
