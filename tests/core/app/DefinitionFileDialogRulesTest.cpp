#include "core/app/DefinitionFileDialogRules.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

using Outcome = DefinitionFileOutcome;

TEST(DefinitionFileDialogRulesTest, OnlyAWholeAnswerIsReportedAsFinished) {
    const DefinitionFileRunDisplay finished{"Download finished", ""};
    const DefinitionFileRunDisplay error{"", "Error Processing Request..."};
    EXPECT_EQ(DefinitionFileRunResult(1, Outcome::Written), finished);
    EXPECT_EQ(DefinitionFileRunResult(1, Outcome::Stopped), (DefinitionFileRunDisplay{"", ""}));
    for (const Outcome failed :
         {Outcome::WrittenIncomplete, Outcome::InputUnreadable, Outcome::ServerError,
          Outcome::ConnectionFailed, Outcome::OutputNotWritten}) {
        EXPECT_EQ(DefinitionFileRunResult(1, failed), error) << static_cast<int>(failed);
    }
    // No account, or a refused one: nothing was sent.
    EXPECT_EQ(DefinitionFileRunResult(0, Outcome::AccountRefused), error);
    EXPECT_EQ(DefinitionFileRunResult(0, Outcome::Written), error);
}

} // namespace
} // namespace mvr
