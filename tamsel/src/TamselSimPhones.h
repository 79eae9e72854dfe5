// Simulated phones for the station (COM1 to COM16), see TamselSimPhones.cpp.
#pragma once

// The variant name that the station's phones hold in the item that the
// read-variant button reads.
#define TAMSEL_SIM_VARIANT_NAME "S1"

void TamselPrepareSimulatedPhones();
