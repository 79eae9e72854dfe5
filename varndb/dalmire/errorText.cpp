// getErrorText: result codes as texts from the database's message table.
#include "dalmire_internal.h"
#include "message_text.h"

std::string getErrorText(int code) { return varndb::message_text(code); }
