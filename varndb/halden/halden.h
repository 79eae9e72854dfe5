/* Host identity of the station: its name, IPv4 address and MAC id, for the
 * registration with the production database. Stateless; no configuration.
 */
#ifndef HALDEN_H
#define HALDEN_H

#define HALDEN_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

/* Buffer sizes the callers pass. */
#define HALDEN_NAME_SIZE 256 /* official host name, at most 255 characters */
#define HALDEN_IP_SIZE 16    /* dotted IPv4 address */
#define HALDEN_MAC_SIZE 13   /* 12 lower-case hex digits */

/* The official name of the local host and its first IPv4 address.
 * 0 on success; -1 when the local name cannot be resolved (name and ip are
 * left as they were). A longer official name is cut to 255 characters. */
HALDEN_API int getHostData(char* name, char* ip);

/* The hardware address of the first network adapter in index order that has
 * one (loopback and all-zero addresses skipped), as 12 lower-case hex
 * digits; twelve zeros when there is none. Always 0. */
HALDEN_API int getMACId(char* mac);

#ifdef __cplusplus
}
#endif

#endif /* HALDEN_H */
