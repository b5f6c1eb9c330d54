#pragma once

#include <QByteArray>
#include <QString>
#include <termios.h>

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
    // Bytes written to the master that the slave side has not read yet.
    int pendingInput() const;
    // The line settings the slave has now (those of the port that opened it).
    termios attributes() const;

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_link;
};
