// Data and internal operations shared by the FM radio, camera, Bluetooth,
// assisted-GPS and polar-transmitter families and their plain rows.
#pragma once

#include "TesselFctsPeriph.h"

// HCI command packets the library sends to the Bluetooth module: the
// packet type 01, the opcode (low byte first) and the parameters.
inline constexpr unsigned char kHciReset[] = {0x01, 0x03, 0x0C};
inline constexpr unsigned char kHciScanDisable[] = {0x01, 0x1A, 0x0C, 0x01, 0x00};
