#pragma once

namespace skelvin {

// Names the calling thread (as `top -H` and a debugger show it, at most 15 characters) and
// sets its nice value: above 0 it yields to the capture threads, below 0 it asks for
// precedence, which an ordinary user has no right to and then keeps the normal one. Threads
// the calling thread starts afterwards inherit the nice value.
void becomeWorkerThread(const char *name, int nice);

} // namespace skelvin
