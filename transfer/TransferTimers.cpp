#include "transfer/TransferTimers.h"

// Both kinds are built here, so that the program's library compiles them
// even before a window uses them.
template class TransferTimers<Timer>;
template class TransferTimers<GooTimer>;
