#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal in raw mode standing in for a serial device: the program opens the
// slave (through a COMn link), the test writes to the master, and closing the master is a
// pulled adapter.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString slavePath() const { return m_slavePath; }
    // A symbolic link to the slave, relative to the working directory (such as "COM1").
    void linkAs(const QString& linkPath);
    void write(const QByteArray& bytes);
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_link;
};
