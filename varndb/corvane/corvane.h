/* The remote-object back-end of the production-database interface
 * (libcorvane.so): the varndb_* operations of varndb.h, run on the remote
 * server VarndbCI, plus two operations of its own.
 *
 * Differences from the direct-SQL back-end a caller sees:
 *   - errText must not be NULL (VARNDB_E_NULL); pointer arguments are
 *     tested for NULL in the order of the signature (VARNDB_E_NULL, "One
 *     parameter is NULL!").
 *   - varndb_Disconnect always gives 0; varndb_AutoDisconnect has no effect.
 *   - A remote call that fails (VARNDB_E_REMOTE) or that the server answers
 *     with VARNDB_E_REMOTE_RETRY starts the reconnect loop: up to
 *     CORVANE_MAX_RETRIES calls of retry(), then one more call.
 *   - Not offered: varndb_retryConnect, varndb_getCharServiceCode,
 *     varndb_init_t_varn_orgTovikAddData, varndb_putOrgTovikAddData.
 */
#ifndef CORVANE_H
#define CORVANE_H

#include "varndb.h"

#define CORVANE_MAX_RETRIES 121
#define CORVANE_RETRY_WAIT_MS 10000

/* Files travel whole in one remote message; the ORB accepts messages of up
 * to CORVANE_MAX_MESSAGE_SIZE bytes (256 MiB), so a file of up to
 * CORVANE_MAX_FILE_SIZE bytes (255 MiB) can be stored and fetched.
 * varndb_putFile of a larger file is refused before anything is sent and
 * without the reconnect loop: VARNDB_E_FILE_TOO_LARGE and
 * "File <name> has <n> bytes, more than the 267386880 a remote call carries!". */
#define CORVANE_MAX_MESSAGE_SIZE (256u * 1024u * 1024u)
#define CORVANE_MAX_FILE_SIZE (255u * 1024u * 1024u)

/* The server's results pass through unchanged: a server on the reference
 * schema answers an upload or removal of a file that another station is
 * storing with VARNDB_FILE_BUSY and its text (varndb.h). */

/* varndb_getSADBlock reads the caller's flash serial number up to its
 * terminator and at most CORVANE_FLASH_SERIAL_SIZE bytes (the 16 bytes that
 * varndb_getFlashSerialNumber hands out need no terminator); the rest of the
 * block sent to the server is zeros. */
#define CORVANE_FLASH_SERIAL_SIZE 16

#ifdef __cplusplus
class VarndbCIclient;

/* The two operations of this back-end's own are C++ functions, exported
 * under their decorated names. */

/* The client object while one exists (after a successful varndb_Connect),
 * else NULL. */
VARNDB_API VarndbCIclient* varndb_getInstance();

/* Drops the client, waits CORVANE_RETRY_WAIT_MS and connects again with the
 * texts of the last varndb_Connect; true when connected. */
VARNDB_API bool retry();

#endif /* __cplusplus */

#endif /* CORVANE_H */
