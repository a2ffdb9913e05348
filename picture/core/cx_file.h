#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// What the codecs read from and write to: a file on disk or a block of
// memory, behind one small interface.
class CxFile {
public:
    virtual ~CxFile() = default;
    // Bytes actually read or written.
    virtual size_t Read(void* buffer, size_t size) = 0;
    virtual size_t Write(const void* buffer, size_t size) = 0;
    virtual bool Seek(int64_t offset, int origin) = 0;  // SEEK_SET, SEEK_CUR, SEEK_END
    virtual int64_t Tell() const = 0;
    virtual int64_t Size() const = 0;
    virtual bool Flush() = 0;

    // Reads exactly `size` bytes; false when the file ends first.
    bool ReadExactly(void* buffer, size_t size) { return Read(buffer, size) == size; }
};

// A file on disk, opened with fopen-style modes ("rb", "wb").
class CxIOFile : public CxFile {
public:
    CxIOFile() = default;
    ~CxIOFile() override;
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    bool Open(const std::string& path, const char* mode);
    bool Close();
    // For replacing `path` whole: opens a new file beside it for writing;
    // Commit() flushes it to disk and renames it over `path`, Close() without
    // Commit() throws it away.
    bool OpenReplacing(const std::string& path);
    bool Commit();
    bool IsOpen() const { return m_fp != nullptr; }

    size_t Read(void* buffer, size_t size) override;
    size_t Write(const void* buffer, size_t size) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override;
    int64_t Size() const override;
    bool Flush() override;

private:
    FILE* m_fp = nullptr;
    std::string m_temporary;
    std::string m_target;
};

// A block of memory that grows as it is written.
class CxMemFile : public CxFile {
public:
    CxMemFile() = default;
    // Reads from a copy of `data`.
    CxMemFile(const void* data, size_t size);

    size_t Read(void* buffer, size_t size) override;
    size_t Write(const void* buffer, size_t size) override;
    bool Seek(int64_t offset, int origin) override;
    int64_t Tell() const override { return static_cast<int64_t>(m_pos); }
    int64_t Size() const override { return static_cast<int64_t>(m_data.size()); }
    bool Flush() override { return true; }

    const std::vector<uint8_t>& Data() const { return m_data; }

private:
    std::vector<uint8_t> m_data;
    size_t m_pos = 0;
};
