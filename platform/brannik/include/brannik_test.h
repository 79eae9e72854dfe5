// Test access to the line-data store: preset items, plan failures, look at
// what was put.
#pragma once

#include "brannik.h"

#include <optional>
#include <string>

namespace brannik_test {

// Forgets every item and planned failure; the BRANNIK_FILE is not read again.
BRANNIK_API void reset();
// Presets an item (by its name without prefix, e.g. "Standort").
BRANNIK_API void set_text(const std::string& item, const std::string& value);
BRANNIK_API void set_number(const std::string& item, int value);
// Every later get or put of the item fails with this text, after the first
// `after` of them succeeded.
BRANNIK_API void fail(const std::string& item, const std::string& text, int after = 0);
// The item's value, or nothing when it was never set.
BRANNIK_API std::optional<std::string> text(const std::string& item);
BRANNIK_API std::optional<int> number(const std::string& item);

} // namespace brannik_test
