#include "Pty.h"

#include <QFile>
#include <cerrno>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios raw{};
    tcgetattr(m_slave, &raw);
    cfmakeraw(&raw);
    tcsetattr(m_slave, TCSANOW, &raw);
    m_slavePath = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair() {
    if (!m_link.isEmpty()) QFile::remove(m_link);
    closeMaster();
    if (m_slave >= 0) ::close(m_slave);
}

void PtyPair::linkAs(const QString& linkPath) {
    if (!QFile::link(m_slavePath, linkPath))
        throw std::runtime_error("cannot link " + linkPath.toStdString());
    m_link = linkPath;
}

void PtyPair::write(const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error("cannot write to the pseudo-terminal");
        done += n;
    }
}

void PtyPair::closeMaster() {
    if (m_master >= 0) ::close(m_master);
    m_master = -1;
}
