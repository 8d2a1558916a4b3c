#pragma once

// Reads and checks the tables of a price server data folder (everything but
// the bar files, which are read when they are asked for). The first fault
// ends the reading with the file, the line and what is wrong; references
// between tables are checked too (an instrument's exchange must exist, a
// catalogue member must be an instrument, ...). Oddities the client copes
// with, such as a tree entry without a name, are warnings.

#include "server/DataError.h"
#include "server/ServerModel.h"

#include <optional>
#include <string>
#include <vector>

namespace mvr {

// The most rows a table may have.
inline constexpr std::size_t kMaxTableRows = 1'000'000;
// The deepest nesting of groups in the catalogue tree.
inline constexpr int kMaxTreeDepth = 64;

class CDataFolderReader {
public:
    explicit CDataFolderReader(std::string folder) : folder_(std::move(folder)) {}

    // The tables, or nothing when a file is missing or wrong (Error() says which).
    std::optional<ServerTables> ReadTables();

    const DataError& Error() const { return error_; }
    const std::vector<std::string>& Warnings() const { return warnings_; }

private:
    class CTableReading;

    bool ReadSettings(ServerTables& tables);
    bool ReadClientInfo(ServerTables& tables);
    bool ReadAccounts(ServerTables& tables);
    bool ReadSecurityTypes(ServerTables& tables);
    bool ReadCountries(ServerTables& tables);
    bool ReadExchanges(ServerTables& tables);
    bool ReadSearchKinds(ServerTables& tables);
    bool ReadInstruments(ServerTables& tables);
    bool ReadLegacyNumbers(ServerTables& tables);
    bool ReadCatalogueGroups(ServerTables& tables);
    bool ReadCatalogues(ServerTables& tables);
    bool ReadCatalogueTree(ServerTables& tables);
    bool ReadCatalogueMembers(ServerTables& tables);
    static bool ReadNumberedNames(CTableReading& table, std::vector<NumberedName>& names);
    bool CheckTreeNesting(const ServerTables& tables);
    void WarnAboutTree(const ServerTables& tables);

    std::string folder_;
    DataError error_;
    std::vector<std::string> warnings_;
    std::vector<int> treeLines_; // line of each tree entry, for messages
};

} // namespace mvr
