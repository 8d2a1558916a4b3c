#pragma once

// Writes a price server data folder in the form the reader reads: the table
// files and one bar file per instrument. Every file goes through the atomic
// writer, so a folder being rewritten never holds a torn file.

#include "core/platform/AtomicFile.h"
#include "server/DataFolderLayout.h"
#include "server/PriceBars.h"
#include "server/ServerModel.h"

#include <span>
#include <string>

namespace mvr {

class CDataFolderWriter {
public:
    explicit CDataFolderWriter(std::string folder) : folder_(std::move(folder)) {}

    // Creates the folder with its bar folders and writes every table file.
    // False when a file cannot be written; `failedFile` then names it.
    [[nodiscard]] bool WriteTables(const ServerTables& tables, std::string* failedFile) const;

    // Safe to call from several threads at once for different instruments.
    [[nodiscard]] bool WriteDailyBars(std::int32_t sinCode, int decimals, std::span<const DailyBar> bars) const;
    [[nodiscard]] bool WriteIntradayBars(std::int32_t sinCode, int decimals,
                           std::span<const IntradayBar> bars) const;

private:
    [[nodiscard]] bool WriteFile(std::string_view relativeName, const std::string& text,
                   NewFileAccess access = NewFileAccess::Default) const;

    std::string folder_;
};

// The text of each table file, as the writer writes it.
std::string FormatSettings(const ServerSettings& settings);
std::string FormatClientInfo(const ClientInformation& info);
std::string FormatAccounts(const std::vector<ServerAccount>& accounts);
std::string FormatNumberedNames(const std::vector<NumberedName>& names);
std::string FormatExchanges(const std::vector<ServerExchange>& exchanges);
std::string FormatSearchKinds(const std::vector<SearchKind>& kinds);
std::string FormatInstruments(const std::vector<ServerInstrument>& instruments);
std::string FormatLegacyNumbers(const std::vector<LegacyTranslation>& translations);
std::string FormatCatalogueGroups(const std::vector<CatalogueGroup>& groups);
std::string FormatCatalogues(const std::vector<Catalogue>& catalogues);
std::string FormatCatalogueTree(const std::vector<CatalogueTreeEntry>& tree);
std::string FormatCatalogueMembers(const std::vector<Catalogue>& catalogues);

} // namespace mvr
