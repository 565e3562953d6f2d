// The frame reader tests' stamped pictures and video writer, shared with these tests.
#include "core/frames/TestVideo.cpp"
