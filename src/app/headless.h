#pragma once

// "velmora --price-run LIST --out FILE.xlsx [--ini FILE]": a price run without a window, with the
// accounts, sites and switches of the settings file, its progress on standard error.
bool IsHeadlessRun(int argc, char** argv);
// Exit status 0; 1 with one line on standard error when it cannot run or no service answered;
// 130 after Ctrl+C, with the rows that had come in written.
int RunHeadless(int argc, char** argv);
