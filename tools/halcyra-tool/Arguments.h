// Small readers shared by the subcommands' argument parsing.
#pragma once

namespace halcyra {

// A whole decimal number from minimum to maximum; false for anything else (junk, out of range).
bool ParseInteger(const char* text, long minimum, long maximum, int& value);

}  // namespace halcyra
