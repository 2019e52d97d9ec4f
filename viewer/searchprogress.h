// A search run on the user-interface thread, one step at a time: between
// steps the windows stay drawn while input waits (and the owner takes no
// drops), and a search that takes longer than about half a second shows a
// modal "Searching" window over its owner; from then on that window alone
// takes input, and its Cancel, Esc or closing it stops the search.
#pragma once

#include <functional>

class QWidget;

namespace nv {

enum class SearchRun { Finished, Cancelled };

// Calls `step` until it returns false (the search is over) or the user
// cancels. `progress` says how much is done, 0 to 1. `owner` is the window
// the progress window belongs to and is centred on. What `step` raises
// propagates.
SearchRun runSearch(QWidget *owner, const std::function<bool()> &step,
                    const std::function<double()> &progress);

// How long a search runs before its progress window shows.
constexpr int kProgressDelayMs = 500;

} // namespace nv
