// The frame selection tests make their videos with the frames tests' recipe: every frame carries
// its number, so a test reads back which frame a picture shows.
#include "core/frames/TestVideo.cpp"
