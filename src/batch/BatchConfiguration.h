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
class CUserInteraction;
} // namespace mvr

namespace mvr::batch {

// The format types a new directory may have: those the directory editor
// offers, and the two intraday types, which only a headless set-up can choose.
std::vector<int> BatchFormatTypes();

// Stores the account and password; false with the reason when the password
// cannot be stored or the configuration not written.
bool SetAccount(CMVRKrsExpSession& session, const std::string& account, const std::string& password,
                std::string& error);

// PATH FORMAT [CATALOGUE [START]]: the checks of the directory editor, then a
// new directory with an empty index of the format in a folder without one.
bool AddDirectory(CMVRKrsExpSession& session, const std::vector<std::string>& operands,
                  CUserInteraction& interaction, std::string& error);

void ShowConfiguration(const CMVRKrsExpSession& session, std::FILE* out);

} // namespace mvr::batch
