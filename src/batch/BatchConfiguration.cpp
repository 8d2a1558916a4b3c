#include "batch/BatchConfiguration.h"

#include "batch/BatchInteraction.h"
#include "core/app/DirectoryEditor.h"
#include "core/app/MainWindowCommands.h"
#include "core/app/Session.h"
#include "core/formats/DayNumber.h"
#include "core/formats/FormatCatalogue.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace mvr::batch {

namespace {

std::optional<std::int32_t> ParseNumber(const std::string& text) {
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool IsOfferedFormat(std::int32_t type) {
    const auto offered = OfferedFormatTypes();
    return std::find(offered.begin(), offered.end(), type) != offered.end();
}

std::optional<DirectoryEditorEntries> EntriesOf(const std::vector<std::string>& operands,
                                                std::string& error) {
    DirectoryEditorEntries entries;
    entries.pathText = operands[0];
    const auto format = ParseNumber(operands[1]);
    if (!format || !IsOfferedFormat(*format)) {
        error = "unknown format type " + operands[1];
        return std::nullopt;
    }
    entries.formatType = *format;
    if (operands.size() > 2) {
        const auto catalogue = ParseNumber(operands[2]);
        if (!catalogue || *catalogue < 0) {
            error = "the catalogue must be a number: " + operands[2];
            return std::nullopt;
        }
        entries.catalogueId = *catalogue;
        // Named by its number until the server's catalogue tree gives its path.
        entries.catalogueName = *catalogue == 0 ? "" : "Catalogue " + operands[2];
    }
    if (operands.size() > 3) {
        std::int32_t day = 0;
        if (!ParseDateText(operands[3].c_str(), &day)) {
            error = "the start date must be dd.mm.yyyy: " + operands[3];
            return std::nullopt;
        }
        entries.dateText = operands[3];
    } else {
        entries.dateText = FormatDayNumber(ProposedStartDate(TodayDayNumber()));
    }
    return entries;
}

} // namespace

bool SetAccount(CMVRKrsExpSession& session, const std::string& account, const std::string& password,
                std::string& error) {
    if (!IsStorablePassword(password)) {
        error = "this password cannot be stored";
        return false;
    }
    session.User().account = account;
    session.User().password = password;
    return session.StoreConfig(&error);
}

bool AddDirectory(CMVRKrsExpSession& session, const std::vector<std::string>& operands,
                  CBatchInteraction& interaction, std::string& error) {
    const auto entries = EntriesOf(operands, error);
    if (!entries) {
        return false;
    }
    const auto values = AcceptDirectoryEditor(*entries, interaction);
    if (!values) {
        error = "the directory was not added";
        return false;
    }
    if (session.FindDirectoryByPath(values->path) != -1) {
        error = values->path + " is configured already";
        return false;
    }
    interaction.AnswerDirectoryEditor(*values);
    CMainWindowCommands commands(session, interaction);
    if (!commands.AddDirectory() || session.FindDirectoryByPath(values->path) == -1) {
        error = "the directory was not added";
        return false;
    }
    return true;
}

void ShowConfiguration(const CMVRKrsExpSession& session, std::FILE* out) {
    const ExportUserInfo& user = session.User();
    std::fprintf(out, "Account: %s\n", user.account.empty() ? "(none)" : user.account.c_str());
    std::fprintf(out, "Directories:\n");
    for (const MVRKrsExportInfo& directory : session.Directories()) {
        const std::int32_t start = OleDateToDayNumber(directory.startDate);
        std::fprintf(out, "  %s\t%s\tfrom %s", directory.path.c_str(),
                     FormatDisplayName(directory.formatType).c_str(),
                     directory.startDate == 0.0 ? "-" : FormatDayNumber(start).c_str());
        if (directory.IsLinked()) {
            std::fprintf(out, "\tcatalogue %d %s", directory.catalogueId,
                         directory.catalogueName.c_str());
        }
        std::fprintf(out, "\n");
    }
    std::fprintf(out, "Lists:\n");
    for (const CMVRDirListInfo& list : session.Lists()) {
        std::fprintf(out, "  %s (%zu directories)\n", list.name.c_str(), list.paths.size());
    }
}

} // namespace mvr::batch
