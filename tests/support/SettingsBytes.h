#pragma once

#include <QByteArray>

// A settings file: probe 1 at 0 and 32767 counts for 0 and 100 degrees on channel 0, probe 2
// at 0 and 32767 counts for -10 and 50 degrees with offset 0.5 on channel 1, log probe.log,
// the given port text (one character) and echo text ('0' or '1'), line settings 9600,N,8,1.
inline QByteArray exampleSettingsFile(char port = '2', char echo = '0') {
    QByteArray bytes("\x01"
                     "0\x05"
                     "32767\x01"
                     "0\x03"
                     "100\x01"
                     "0\x05"
                     "32767\x03-10\x02"
                     "50\x01"
                     "0\x03"
                     "0.5\x09probe.log",
                     45);
    bytes.append(QByteArray("\0\0\0\0\1\0\0\0", 8));
    bytes.append('\x01').append(port);
    bytes.append("\x0a"
                 "9600,N,8,1");
    bytes.append('\x01').append(echo);
    return bytes;
}
