#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

// A fresh folder that is the working directory while the object lives: the program finds
// "vemo.dat" and COMn links in the working directory, so each test gets its own.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    QString path() const { return m_dir.path(); }
    std::string file(const std::string& name) const;
    void write(const std::string& name, const QByteArray& bytes) const;
    QByteArray read(const std::string& name) const;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
