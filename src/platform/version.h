#pragma once

#include <QString>

// major.minor.release of the version compiled into the program.
QString ProgramVersionText();
