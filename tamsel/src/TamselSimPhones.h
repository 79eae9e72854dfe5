// Simulated phones for the station (COM1 to COM16), see TamselSimPhones.cpp.
#pragma once

// The variant name that the station's phones hold in the item that the
// read-variant button reads.
#define TAMSEL_SIM_VARIANT_NAME "S1"
// The service programming code that opens the station's phones: the one the
// service-code button offers in its prompt.
#define TAMSEL_SIM_SERVICE_CODE "527309"

void TamselPrepareSimulatedPhones();
