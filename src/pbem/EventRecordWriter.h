// Writes event records, the inverse of ParseEventRecord: for whatever stands in for the game
// server (the demo server, the sample installation, the tests).
#pragma once

#include "pbem/PBEMGameEvent.h"

#include <string>

// The unescaped record of an event, with its attached data.
std::string BuildEventRecord(const CPBEMGameEvent& event);
// The record escaped, as the server sends it and as an event file holds it.
std::string BuildEscapedEventRecord(const CPBEMGameEvent& event);
