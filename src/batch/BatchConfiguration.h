#pragma once

// The batch tool's own configuration commands, so that a machine without a
// display can be set up: the account, new export directories, and a listing
// of what is configured. They work on the same configuration files as the
// desktop program.

#include <cstdio>
#include <string>
#include <vector>

namespace mvr {
class CMVRKrsExpSession;
} // namespace mvr

namespace mvr::batch {

class CBatchInteraction;

// Stores the account and password; false with the reason when the password
// cannot be stored or the configuration not written.
bool SetAccount(CMVRKrsExpSession& session, const std::string& account, const std::string& password,
                std::string& error);

// PATH FORMAT [CATALOGUE [START]]: the window's "Add directory" command, with
// the operands as the editor's entries (its checks apply): a folder without an
// index gets an empty one of the format, a linked one the catalogue's
// instruments.
bool AddDirectory(CMVRKrsExpSession& session, const std::vector<std::string>& operands,
                  CBatchInteraction& interaction, std::string& error);

void ShowConfiguration(const CMVRKrsExpSession& session, std::FILE* out);

} // namespace mvr::batch
