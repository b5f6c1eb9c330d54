#include "Pty.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <pty.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair() {
    char name[256] = {};
    if (openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    m_slavePath = QString::fromLocal8Bit(name);
    termios raw{};
    if (tcgetattr(m_slave, &raw) == 0) {
        cfmakeraw(&raw);
        if (tcsetattr(m_slave, TCSANOW, &raw) == 0) return;
    }
    ::close(m_master);
    ::close(m_slave);
    throw std::runtime_error("cannot put the pseudo-terminal in raw mode");
}

PtyPair::~PtyPair() {
    if (!m_link.isEmpty()) QFile::remove(m_link);
    closeMaster();
    if (m_slave >= 0) ::close(m_slave);
}

void PtyPair::linkAs(const QString& linkPath) {
    // Kept absolute so that the link goes even if the working directory changed meanwhile.
    const QString link = QDir::current().absoluteFilePath(linkPath);
    if (!QFile::link(m_slavePath, link))
        throw std::runtime_error("cannot link " + linkPath.toStdString());
    m_link = link;
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

int PtyPair::pendingInput() const {
    int count = 0;
    if (::ioctl(m_slave, FIONREAD, &count) != 0)
        throw std::runtime_error("cannot read the pseudo-terminal's input count");
    return count;
}

termios PtyPair::attributes() const {
    termios t{};
    if (tcgetattr(m_slave, &t) != 0)
        throw std::runtime_error("cannot read the pseudo-terminal's settings");
    return t;
}
