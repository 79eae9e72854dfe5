// Simulated phones for the station (COM1 to COM16), see TamselSimPhones.cpp.
#pragma once

void TamselPrepareSimulatedPhones();
