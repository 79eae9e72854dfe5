/* Typed factory-test-mode commands of the power-management chip: supplies,
 * charger switches and limits, real-time interrupt status and the real-time
 * clock. Ids and codes are the phone's own; the simulated phone keeps what
 * each command sets (see qmsl_pmic_sim.h). */
#ifndef QMSL_PMIC_H
#define QMSL_PMIC_H

#include "qmsl.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Switches the supplies whose bits are set in vregMask on (on != 0) or off. */
QMSL_API unsigned char QLIB_FTM_PMIC_VREG_CONTROL(QmslHandle handle, unsigned char on, unsigned int vregMask);
/* Sets the output level of one supply, in millivolts. */
QMSL_API unsigned char QLIB_FTM_PMIC_VREG_SET_LEVEL(QmslHandle handle, unsigned char vreg, unsigned short levelMv);
/* Opens or closes one charger switch (0 wall charger, 1 battery transistor,
 * ...); the command is the switch's new state. */
QMSL_API unsigned char QLIB_FTM_PMIC_CHG_SET_SWITCH_STATE(QmslHandle handle, unsigned char switchType,
                                                          unsigned char command);
/* Real-time status of one interrupt (1 = its condition holds now). */
QMSL_API unsigned char QLIB_FTM_PMIC_INT_GET_RT_STATUS(QmslHandle handle, unsigned char interruptId,
                                                       unsigned char* status);
/* Writes (readTime == 0) or reads (readTime != 0) the real-time clock. Every
 * value goes by pointer: a write takes the time mode and the date and time
 * from them, a read gives them back. The year is the full four-digit year.
 * Every pointer must be valid. */
QMSL_API unsigned char QLIB_FTM_PMIC_RTC_SET_GET_TIME(QmslHandle handle, unsigned char readTime,
                                                      unsigned char* timeMode, unsigned char* month,
                                                      unsigned char* day, unsigned short* year,
                                                      unsigned char* hour, unsigned char* minute,
                                                      unsigned char* second);
/* Limits of the wall-charger transistor, as codes: current code
 * (mA - 10) / 10, voltage code (mV - 4000) / 25. */
QMSL_API unsigned char QLIB_FTM_PMIC_CONFIG_WALL_CHGR_TRANSISTOR_LIMITS(QmslHandle handle, unsigned char currentCode,
                                                                        unsigned char voltageCode);

#ifdef __cplusplus
}
#endif

#endif
