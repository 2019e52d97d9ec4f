// A search run on the user-interface thread: the windows stay drawn between
// chunks while input to them is held off from the first chunk on, and a
// search that takes longer than about half a second shows a modal
// "Searching" window whose Cancel (or Esc) stops it.
#pragma once

#include <QString>

class QWidget;

namespace nv {

class ByteSearch;

enum class SearchRun { Finished, Cancelled };

// Steps `search` to its end or until the user cancels. Read errors of the
// search propagate.
SearchRun runSearch(ByteSearch &search);

// How long a search runs before its progress window shows.
constexpr int kProgressDelayMs = 500;

} // namespace nv
