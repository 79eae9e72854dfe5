// On a line, the station's host program opens the remote-control server and
// stores its session in the shared-session store; here the station plays
// that host itself, when tamsel/run asks for it (see README).
#pragma once

#include <string>

// Environment variable with the remote-control server's resource text; set
// by `tamsel/run --remote PORT`.
#define TAMSEL_REMOTE_VARIABLE "TAMSEL_REMOTE"

// When TAMSEL_REMOTE is set: opens the remote-control server with its
// resource text, switches it on (it listens while the marker file exists)
// and stores its session. Returns the line that tells the operator what
// became of it, or "" when TAMSEL_REMOTE is not set.
std::string TamselOpenSimulatedRemote();
