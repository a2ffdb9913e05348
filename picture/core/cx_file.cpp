#include "cx_file.h"

#include <cerrno>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

CxIOFile::~CxIOFile()
{
    Close();
}

bool CxIOFile::Open(const std::string& path, const char* mode)
{
    Close();
    m_fp = std::fopen(path.c_str(), mode);
    return m_fp != nullptr;
}

bool CxIOFile::Close()
{
    if (!m_fp)
        return true;
    const bool ok = std::fclose(m_fp) == 0;
    m_fp = nullptr;
    if (!m_temporary.empty()) {
        ::unlink(m_temporary.c_str());  // never committed
        m_temporary.clear();
    }
    return ok;
}

bool CxIOFile::OpenReplacing(const std::string& path)
{
    Close();
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmpl = folder + "/." + name + ".XXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return false;
    ::fchmod(fd, 0644);
    m_fp = ::fdopen(fd, "wb");
    if (!m_fp) {
        ::close(fd);
        ::unlink(tmpl.c_str());
        return false;
    }
    m_temporary = tmpl;
    m_target = path;
    return true;
}

bool CxIOFile::Commit()
{
    if (!m_fp || m_temporary.empty())
        return false;
    bool ok = std::fflush(m_fp) == 0 && ::fsync(::fileno(m_fp)) == 0;
    ok = std::fclose(m_fp) == 0 && ok;
    m_fp = nullptr;
    ok = ok && std::rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (!ok) {
        const int reason = errno;  // unlink must not hide why it failed
        ::unlink(m_temporary.c_str());
        errno = reason;
    }
    m_temporary.clear();
    return ok;
}

size_t CxIOFile::Read(void* buffer, size_t size)
{
    return m_fp ? std::fread(buffer, 1, size, m_fp) : 0;
}

size_t CxIOFile::Write(const void* buffer, size_t size)
{
    return m_fp ? std::fwrite(buffer, 1, size, m_fp) : 0;
}

bool CxIOFile::Seek(int64_t offset, int origin)
{
    return m_fp && fseeko(m_fp, static_cast<off_t>(offset), origin) == 0;
}

int64_t CxIOFile::Tell() const
{
    return m_fp ? static_cast<int64_t>(ftello(m_fp)) : -1;
}

int64_t CxIOFile::Size() const
{
    if (!m_fp)
        return -1;
    const off_t here = ftello(m_fp);
    if (fseeko(m_fp, 0, SEEK_END) != 0)
        return -1;
    const off_t end = ftello(m_fp);
    fseeko(m_fp, here, SEEK_SET);
    return static_cast<int64_t>(end);
}

bool CxIOFile::Flush()
{
    return m_fp && std::fflush(m_fp) == 0;
}

CxMemFile::CxMemFile(const void* data, size_t size)
    : m_data(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
}

size_t CxMemFile::Read(void* buffer, size_t size)
{
    const size_t n = std::min(size, m_data.size() - std::min(m_pos, m_data.size()));
    if (n)
        std::memcpy(buffer, m_data.data() + m_pos, n);
    m_pos += n;
    return n;
}

size_t CxMemFile::Write(const void* buffer, size_t size)
{
    if (m_pos + size > m_data.size())
        m_data.resize(m_pos + size);
    if (size)
        std::memcpy(m_data.data() + m_pos, buffer, size);
    m_pos += size;
    return size;
}

bool CxMemFile::Seek(int64_t offset, int origin)
{
    int64_t base = 0;
    if (origin == SEEK_CUR)
        base = static_cast<int64_t>(m_pos);
    else if (origin == SEEK_END)
        base = static_cast<int64_t>(m_data.size());
    const int64_t to = base + offset;
    if (to < 0)
        return false;
    m_pos = static_cast<size_t>(to);
    return true;
}
