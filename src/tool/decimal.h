/* decimal.h - a run of decimal digits read as a number, strictly.

   read_decimal reads text[0..length) as a decimal number: it must be 1 to
   max_digits characters, all of them '0' to '9' (no sign, no space). With
   max_digits at most 19 the value cannot overflow. Returns false, leaving
   *value alone, for anything else. */
#ifndef VEXA_DECIMAL_H
#define VEXA_DECIMAL_H

#include <cstddef>
#include <cstdint>

bool read_decimal(const char* text, size_t length, size_t max_digits, uint64_t* value);

#endif
