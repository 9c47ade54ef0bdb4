#pragma once

#include <string>

#include "ProjectorState.h"

// The projector's answers, character for character. Every reply ends in CR; status replies put
// their key characters first, where a client that cuts fixed positions looks for them.
namespace sim::reply {

inline const std::string kAck = "\x06\r";
inline const std::string kError = "ERR\r";

std::string OperatingStatus(const ProjectorState& s);  // CR0: "80\r"
std::string InputMode(const ProjectorState& s);        // CR1: "1\r"
std::string LampHours(const ProjectorState& s);        // CR3: "01234\r"
std::string Orientation(const ProjectorState& s);      // CR4: "11\r"
std::string Temperatures(const ProjectorState& s);     // CR6: "+25.0  26.5  75.0   47.0\r"
std::string LampMode(const ProjectorState& s);         // CR7: "03\r"
std::string PcType(const ProjectorState& s);           // CR9: "PJ-Q8\r"
std::string MuteAndSignal(const ProjectorState& s);    // CRA: "00\r"
std::string Pressure(const ProjectorState& s);         // CR PRESSURE: "0853\r"

// The sensor's reading for an air pressure: a 10-bit conversion of the sensor voltage.
int PressureReading(double hpa);

}  // namespace sim::reply
