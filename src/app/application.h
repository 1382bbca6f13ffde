#pragma once

// Builds the seams, the service client and the main window, and runs the event loop.
int RunVelmora(int argc, char** argv);
