#include "jpeg_errors.h"

#include <jerror.h>

namespace {

extern "C" void onJpegError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    cinfo->err->format_message(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

extern "C" void onJpegMessage(j_common_ptr cinfo, int level)
{
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    if (level >= 0)
        return;  // trace messages
    ++err->warnings;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
        err->truncated = true;
}

}  // namespace

void setUpJpegErrors(JpegErrorManager& err, jpeg_error_mgr*& slot)
{
    slot = jpeg_std_error(&err.pub);
    err.pub.error_exit = onJpegError;
    err.pub.emit_message = onJpegMessage;
    err.message[0] = 0;
    err.warnings = 0;
    err.truncated = false;
}
