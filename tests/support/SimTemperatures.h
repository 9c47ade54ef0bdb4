#pragma once

#include <string>

// A pattern of the whole "STATUS" line for the simulator's temperature reply: a room at about
// 25 degrees, each of the four sensors near it.
inline std::string SimTemperatureLinePattern() {
  const std::string reading = R"(2 [3-7] \. \d)";
  return "  S1= \\+ " + reading + " C  ,   S2=  " + reading + " C  ,   S3= " + reading + "  C  ,   S4=  " +
         reading + " C ";
}
