// Errors of the host's file, console and memory operations. Each carries its own
// kind name for the error report.
#pragma once

#include "Exception.h"

#define MKSKILLS_HOST_ERROR(Kind)                                              \
    class Kind : public Exception {                                            \
    public:                                                                    \
        using Exception::Exception;                                            \
        const char* KindName() const noexcept override { return #Kind; }       \
    }

MKSKILLS_HOST_ERROR(EFileOpenError);   // "Cannot open file %s"
MKSKILLS_HOST_ERROR(EFileCreateError); // "Cannot create file %s"
MKSKILLS_HOST_ERROR(EReadError);       // "Cannot read file %s"
MKSKILLS_HOST_ERROR(EWriteError);      // "Cannot write file %s"
MKSKILLS_HOST_ERROR(EConsoleError);    // by errno, see ConsoleErrorMessage

#undef MKSKILLS_HOST_ERROR
