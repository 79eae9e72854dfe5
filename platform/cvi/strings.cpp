#include "cvi_string.h"

void StringLowerCase(char* text) {
    if (text == nullptr) return;
    for (char* p = text; *p != '\0'; ++p) {
        if (*p >= 'A' && *p <= 'Z') *p = static_cast<char>(*p - 'A' + 'a');
    }
}
