#pragma once

#include <QIODevice>

#include <cstring>

// A device that gives its bytes and then fails, as a file whose disk goes away part-way.
class FailingDevice : public QIODevice {
public:
    explicit FailingDevice(QByteArray bytes) : m_bytes(std::move(bytes)) { open(ReadOnly); }

protected:
    qint64 readData(char *data, qint64 max) override
    {
        if (m_pos >= m_bytes.size())
            return -1;
        const qint64 n = qMin(max, m_bytes.size() - m_pos);
        std::memcpy(data, m_bytes.constData() + m_pos, size_t(n));
        m_pos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_pos = 0;
};
