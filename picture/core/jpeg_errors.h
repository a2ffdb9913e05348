#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// libjpeg's error manager for every decoder and encoder of the program: a
// fatal error formats its message and jumps back to `jump`; warnings are
// counted and a premature end of data is remembered. The functions that set
// the jump hold only plain data (no C++ object lives across it).
struct JpegErrorManager {
    jpeg_error_mgr pub;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
    bool truncated;
};

// Installs `err` as the error manager in `slot` (cinfo.err).
void setUpJpegErrors(JpegErrorManager& err, jpeg_error_mgr*& slot);
