// The log viewer tests reopen videos made with the frames tests' recipe.
#include "core/frames/TestVideo.cpp"
