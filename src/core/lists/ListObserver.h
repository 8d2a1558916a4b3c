#pragma once

// How a list model of core tells a view what changed in its rows.
//
// Core owns the rows, their order and the row selection; a view (a Qt item
// model over the core model) only mirrors them. So the view must hear of every
// change in the order the Qt item models expect: each "AboutTo" call comes
// while the core model still shows its old rows, the matching call after it
// shows the new ones. Row numbers are inclusive ranges of the rows as they are
// at the time of the call.
//
// After ModelReset the view reads everything again, the selection included.
// SelectionChanged tells of a selection that the model changed by itself
// (type-ahead, selecting matches); changes a view makes through Selection()
// are its own and are not announced back.

#include <cstddef>
#include <vector>

namespace mvr {

class CListObserver {
public:
    virtual ~CListObserver() = default;

    virtual void RowsAboutToBeInserted(std::size_t first, std::size_t last) = 0;
    virtual void RowsInserted(std::size_t first, std::size_t last) = 0;
    virtual void RowsAboutToBeRemoved(std::size_t first, std::size_t last) = 0;
    virtual void RowsRemoved(std::size_t first, std::size_t last) = 0;
    // The cells of the rows show other texts or marks; the row count is the same.
    virtual void RowsChanged(std::size_t first, std::size_t last) = 0;
    virtual void ModelAboutToBeReset() = 0;
    virtual void ModelReset() = 0;
    virtual void SelectionChanged() = 0;
};

// The side of a model that calls its observer: at most one, not owned; without
// one every call does nothing, so a model without a view works as before.
class CListNotifier {
public:
    void SetObserver(CListObserver* observer) { observer_ = observer; }
    CListObserver* Observer() const { return observer_; }

    // Announces a reset for the lifetime of the guard: the "about to" call
    // when it is made, the reset when it ends, so that no return path of the
    // model can leave the view half told.
    class ResetGuard {
    public:
        explicit ResetGuard(const CListNotifier& notifier);
        ~ResetGuard();
        ResetGuard(const ResetGuard&) = delete;
        ResetGuard& operator=(const ResetGuard&) = delete;

    private:
        CListObserver* observer_;
    };

    ResetGuard Reset() const { return ResetGuard(*this); }

    void AboutToInsert(std::size_t first, std::size_t last) const;
    void Inserted(std::size_t first, std::size_t last) const;
    void AboutToRemove(std::size_t first, std::size_t last) const;
    void Removed(std::size_t first, std::size_t last) const;
    void Changed(std::size_t first, std::size_t last) const;
    void SelectionChanged() const;

    // Calls Changed once for every run of consecutive rows flagged in
    // `changed`, so that a few changed rows of a long list stay a few calls.
    void ChangedRuns(const std::vector<bool>& changed) const;

private:
    CListObserver* observer_ = nullptr;
};

} // namespace mvr
