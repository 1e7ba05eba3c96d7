#pragma once

#include <QString>

// What the program asks of the operating system about itself and its user.
namespace SystemInfo {
QString loginName();    // the signed-in user's login name
QString computerName(); // the computer's name
QString programDir();   // folder of the executable
QString programName();  // executable's file name without extension ("TOVRAN")
QString programFile();  // full path of the executable
} // namespace SystemInfo
