// Reading and writing whole pictures: picks the codec for a file format.
// The bitmap itself (cx_image.cpp) knows no file format.
#include "cx_image.h"

#include "bmp_codec.h"
#include "jpeg_codec.h"

#include <cerrno>
#include <cstring>

CxImage::CxImage(const std::string& path, uint32_t imagetype) : m_type(imagetype)
{
    Load(path, imagetype);
}

bool CxImage::Decode(CxFile* file, uint32_t imagetype)
{
    if (!file) {
        m_lastError = "null file handler";
        return false;
    }
    const int64_t start = file->Tell();
    // Decoding into a fresh picture keeps this one as it was on failure;
    // the result is moved in, never copied.
    const auto tryType = [&](uint32_t type) {
        file->Seek(start, SEEK_SET);
        CxImage decoded(type);
        decoded.SetEscape(m_escape);
        bool ok = false;
        if (type == CXIMAGE_FORMAT_BMP)
            ok = decodeBmp(*file, decoded);
        else if (type == CXIMAGE_FORMAT_JPG)
            ok = decodeJpeg(*file, decoded);
        else
            decoded.SetLastError("Decode: Unknown or wrong format");
        if (ok) {
            decoded.SetType(type);
            *this = std::move(decoded);
        } else {
            m_lastError = decoded.GetLastError();
        }
        return ok;
    };
    if (imagetype != CXIMAGE_FORMAT_UNKNOWN)
        return tryType(imagetype);
    for (uint32_t type : {CXIMAGE_FORMAT_BMP, CXIMAGE_FORMAT_JPG}) {
        if (tryType(type))
            return true;
    }
    m_lastError = "Decode: Unknown or wrong format";
    return false;
}

bool CxImage::Load(const std::string& path, uint32_t imagetype)
{
    CxIOFile file;
    if (!file.Open(path, "rb")) {
        m_lastError = "can't open file " + path;
        return false;
    }
    if (Decode(&file, imagetype))
        return true;
    const std::string firstError = m_lastError;
    if (imagetype != CXIMAGE_FORMAT_UNKNOWN && file.Seek(0, SEEK_SET) && Decode(&file, CXIMAGE_FORMAT_UNKNOWN))
        return true;
    m_lastError = firstError;
    return false;
}

bool CxImage::Encode(CxFile* file, uint32_t imagetype)
{
    if (!file) {
        m_lastError = "null file handler";
        return false;
    }
    if (!IsValid()) {
        m_lastError = "null image!!!";
        return false;
    }
    std::string error;
    bool ok = false;
    if (imagetype == CXIMAGE_FORMAT_BMP)
        ok = encodeBmp(*this, *file, error);
    else if (imagetype == CXIMAGE_FORMAT_JPG)
        ok = encodeJpeg(*this, *file, error);
    else
        error = "Encode: Unknown format";
    if (!ok)
        m_lastError = error;
    return ok;
}

bool CxImage::Save(const std::string& path, uint32_t imagetype)
{
    if (imagetype != CXIMAGE_FORMAT_BMP && imagetype != CXIMAGE_FORMAT_JPG) {
        m_lastError = "Encode: Unknown format";
        return false;
    }
    // Written beside the target and renamed over it: a failed or cut-off
    // save never leaves half a picture where a whole one was.
    CxIOFile file;
    if (!file.OpenReplacing(path)) {
        m_lastError = "can't open file for writing " + path + ": " + std::strerror(errno);
        return false;
    }
    if (!Encode(&file, imagetype))
        return false;  // the temporary file goes with `file`
    if (!file.Commit()) {
        m_lastError = "can't write file " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
