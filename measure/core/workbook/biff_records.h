#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <bit>

namespace measure::workbook {

// Little-endian bytes, appended field by field.
class Bytes {
public:
    Bytes& u8(int v)
    {
        m_b.append(char(v & 0xFF));
        return *this;
    }
    Bytes& u16(int v)
    {
        char b[2];
        qToLittleEndian(quint16(v), b);
        m_b.append(b, 2);
        return *this;
    }
    Bytes& u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_b.append(b, 4);
        return *this;
    }
    // An IEEE 754 double.
    Bytes& f64(double v)
    {
        char b[8];
        qToLittleEndian(std::bit_cast<quint64>(v), b);
        m_b.append(b, 8);
        return *this;
    }
    Bytes& raw(const QByteArray& b)
    {
        m_b.append(b);
        return *this;
    }
    Bytes& zeros(int n)
    {
        m_b.append(QByteArray(n, '\0'));
        return *this;
    }
    // UTF-16 characters, no length.
    Bytes& utf16(const QString& s)
    {
        for (const QChar c : s)
            u16(c.unicode());
        return *this;
    }
    const QByteArray& bytes() const { return m_b; }
    int size() const { return int(m_b.size()); }

private:
    QByteArray m_b;
};

constexpr int kMaxRecordBody = 8224;

// The workbook stream: records of a 16-bit id, a 16-bit length and a body.
class RecordStream {
public:
    void add(quint16 id, const QByteArray& body);
    // A body longer than one record goes on in CONTINUE records.
    void addContinued(quint16 id, const QByteArray& body);
    void patch32(int at, quint32 v) { qToLittleEndian(v, m_bytes.data() + at); }
    int position() const { return int(m_bytes.size()); }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

namespace rec {
constexpr quint16 Bof = 0x0809, Eof = 0x000A, Continue = 0x003C, Codepage = 0x0042, Window1 = 0x003D, Font = 0x0031,
                  Format = 0x041E, Xf = 0x00E0, Style = 0x0293, BoundSheet = 0x0085, Sst = 0x00FC, ExtSst = 0x00FF,
                  Dimensions = 0x0200, ColInfo = 0x007D, LabelSst = 0x00FD, Number = 0x0203, Window2 = 0x023E,
                  MsoDrawingGroup = 0x00EB, MsoDrawing = 0x00EC, Obj = 0x005D;
}

}  // namespace measure::workbook
