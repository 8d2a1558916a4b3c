#include "core/search/SearchDialogEnter.h"

#include <gtest/gtest.h>

namespace mvr {
namespace {

TEST(SearchDialogEnterTest, TheFocusedControlDecidesUnlessAWorkerRuns) {
    using Control = SearchDialogControl;
    const struct {
        Control focus;
        SearchEnterAction action;
    } cases[] = {
        {Control::OkButton, SearchEnterAction::Accept},
        {Control::ResultList, SearchEnterAction::Accept},
        {Control::SearchButton, SearchEnterAction::Search},
        {Control::TextBox, SearchEnterAction::Search},
        {Control::SearchKindBox, SearchEnterAction::Search},
        {Control::SecurityTypeBox, SearchEnterAction::Search},
        {Control::ExchangeBox, SearchEnterAction::Search},
        {Control::Other, SearchEnterAction::Nothing},
    };
    for (const auto& [focus, action] : cases) {
        EXPECT_EQ(EnterActionFor(focus, false), action) << static_cast<int>(focus);
        // A half-filled list is never handed on, nor a search restarted by Enter.
        EXPECT_EQ(EnterActionFor(focus, true), SearchEnterAction::Nothing)
            << static_cast<int>(focus);
    }
}

} // namespace
} // namespace mvr
