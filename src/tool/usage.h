/* usage.h - the one form of a usage error, shared by vexa, vexa-capture and
   vexa-art (GNU's):

     PROG: WHAT IS WRONG
     Try 'PROG --help' for more information.

   on standard error. usage_error returns 2, the status of a usage error, so
   a parser can end with `return usage_error("vexa", "unknown option '-x'");`.
   help_columns is the width every --help text keeps within. usage_hint is
   the second line, with its line end. */
#ifndef VEXA_USAGE_H
#define VEXA_USAGE_H

#include <string>

enum { usage_status = 2, help_columns = 80 };

int usage_error(const char* program, const char* what);
std::string usage_hint(const char* program);

#endif
