#include "quorl_state.h"

int32_t gObjectType = kObjectNone;
int32_t gPortNr = 0;
int32_t gActive = 0;
int32_t gRegistered = 0;
int32_t gRegisteredPort = 0;
int32_t gFileCheck = -1;
int32_t gMode = kModeOff;
double gTxDelay = 0.0;
unsigned gHandle = 0;
