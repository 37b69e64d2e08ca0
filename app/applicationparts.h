#pragma once

// What app/ adds to the application object: the steps that make or reach the
// windows of the folders above core (the add-on host, the K-line window, the
// information pages' first searches and the error box). main() installs them
// before it makes the object, and so do the tests of what they make; a tool or
// a test of the lower folders that leaves them out gets the object's state
// alone.

// Call before the application object is made: its constructor starts the
// add-on host.
void installApplicationParts();
