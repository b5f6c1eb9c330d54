#include "ScratchDir.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

ScratchDir::ScratchDir()
    : m_previous(QDir::currentPath()) {
    if (!m_dir.isValid() || !QDir::setCurrent(m_dir.path()))
        throw std::runtime_error("cannot make a scratch folder");
}

ScratchDir::~ScratchDir() {
    QDir::setCurrent(m_previous);
}

std::string ScratchDir::file(const std::string& name) const {
    return (m_dir.path() + '/' + QString::fromStdString(name)).toStdString();
}

void ScratchDir::write(const std::string& name, const QByteArray& bytes) const {
    QFile f(QString::fromStdString(file(name)));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + name);
}

QByteArray ScratchDir::read(const std::string& name) const {
    QFile f(QString::fromStdString(file(name)));
    if (!f.open(QIODevice::ReadOnly)) throw std::runtime_error("cannot read " + name);
    return f.readAll();
}
