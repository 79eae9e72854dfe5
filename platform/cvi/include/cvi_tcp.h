// The run-time's TCP server over POSIX sockets (IPv4). A registered server
// listens on all local addresses of its port; each accepted client is a
// conversation with a handle (never 0, never reused). Its events reach the
// server's callback from the event loop (cvi_events.h): connect, data ready
// (raised again on every pass while unread data waits) and disconnect
// (the peer closed or reset the connection; the handle is then dead).
//
// Waits (read and write time-outs) are real waits on the socket; under the
// virtual clock a wait that finds nothing ready advances the clock by the
// time-out instead, so tests never wait for real.
#pragma once

#include "cvi_util.h"

#include <stddef.h>

// Server callback events.
#define TCP_CONNECT 1
#define TCP_DISCONNECT 2
#define TCP_DATAREADY 3

// Negative results of the TCP calls.
#define TCP_ERR_REGISTER (-1)           // cannot listen on the port (in use, no right)
#define TCP_ERR_EXISTING_SERVER (-3)    // the port is already registered here
#define TCP_ERR_NOT_REGISTERED (-5)     // no server registered on the port
#define TCP_ERR_INVALID_PARAMETER (-9)  // null buffer, bad size or port
#define TCP_ERR_TIMEOUT (-11)           // nothing could be read or written in time
#define TCP_ERR_NO_CONNECTION (-12)     // no live conversation with this handle
#define TCP_ERR_IO (-13)                // the socket call failed
#define TCP_ERR_CONNECTION_CLOSED (-14) // the peer closed the conversation

#ifdef __cplusplus
extern "C" {
#endif

// handle: the conversation; event: TCP_*; error: 0; data: as registered.
typedef int (*TCPServerCallback)(unsigned handle, int event, int error, void* callbackData);

// Listens on `port` (1..65535) of every local address and delivers the
// events of its conversations to `callback`. Returns 0 or a TCP_ERR_*.
CVI_API int RegisterTCPServer(unsigned int port, TCPServerCallback callback, void* callbackData);
// Stops listening on `port` and closes its conversations without further
// events. Returns 0 or TCP_ERR_NOT_REGISTERED.
CVI_API int UnregisterTCPServer(unsigned int port);

// Closes the conversation with this client of a registered server, without
// an event; its handle is dead afterwards. Returns 0 or
// TCP_ERR_NO_CONNECTION.
CVI_API int DisconnectTCPClient(unsigned int handle);

// Reads what has arrived, at most `size` bytes, waiting up to `timeoutMs`
// for the first byte. Returns the number of bytes read (the buffer is not
// terminated) or a TCP_ERR_*; TCP_ERR_CONNECTION_CLOSED when the peer has
// closed and nothing is left to read.
CVI_API int ServerTCPRead(unsigned int handle, void* buffer, size_t size, unsigned int timeoutMs);
// Writes all `size` bytes, waiting up to `timeoutMs` for room. Returns
// `size` or a TCP_ERR_*. A peer that has gone away gives an error, never a
// signal.
CVI_API int ServerTCPWrite(unsigned int handle, const void* data, size_t size, unsigned int timeoutMs);

// The station's IPv4 address as dotted text: the first non-loopback IPv4
// address of an interface that is up, else "127.0.0.1". The text is cut to
// size - 1 characters. Returns 0, or TCP_ERR_INVALID_PARAMETER.
CVI_API int GetTCPHostAddr(char* buffer, int size);
// The station's host name, cut to size - 1 characters. Returns 0 or a
// TCP_ERR_*.
CVI_API int GetTCPHostName(char* buffer, int size);

#ifdef __cplusplus
}
#endif
