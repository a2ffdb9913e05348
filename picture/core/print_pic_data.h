#pragma once

#include <QByteArray>

#include <cstdint>

namespace picture {

// Hands one picture file to the photo printing: a data object that renders
// the file as a drop-file block (the "dropped files" clipboard format), the
// way file managers pass files to a drop target.
class CPrintPicData {
public:
    static constexpr uint32_t kFormatDropFiles = 15;  // CF_HDROP
    static constexpr uint32_t kAspectContent = 1;
    static constexpr uint32_t kMediumGlobal = 1;  // TYMED_HGLOBAL

    enum Result : uint32_t {
        Ok = 0,
        WrongFormat = 0x80040064,  // DV_E_FORMATETC
        WrongMedium = 0x80040069,  // DV_E_TYMED
        WrongAspect = 0x8004006B,  // DV_E_DVASPECT
        MediumFull = 0x80030070,   // STG_E_MEDIUMFULL
    };

    // `path`: the file's name as bytes (the narrow form, no wide flag).
    explicit CPrintPicData(QByteArray path) : m_path(std::move(path)) {}

    // Renders the block: a 20-byte header (list offset 20, point (0, 0),
    // non-client 1, wide 0), the path bytes, two zero bytes. The aspect is
    // checked first, then the format, then the medium.
    Result GetData(uint32_t format, uint32_t aspect, uint32_t medium, QByteArray& block) const;

    // The first path of a drop-file block, or empty when the block is not one.
    static QByteArray pathOf(const QByteArray& block);

private:
    QByteArray m_path;
};

}  // namespace picture
