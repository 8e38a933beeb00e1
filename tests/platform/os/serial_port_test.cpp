#include "platform/os/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>

#include "tests/support/temp_dir.h"

namespace {

// A pseudo-terminal whose slave side plays the serial device.
class PtyPair {
public:
    PtyPair() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        char name[128];
        if (ptsname_r(master_, name, sizeof name) == 0) slave_ = name;
    }
    ~PtyPair() { CloseMaster(); }
    int master() const { return master_; }
    const std::string& slave() const { return slave_; }
    void CloseMaster() {
        if (master_ >= 0) close(master_);
        master_ = -1;
    }

    void Send(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // What the port wrote, waiting up to a second for `size` bytes.
    std::string Receive(std::size_t size) {
        std::string out;
        char buf[256];
        for (int i = 0; i < 100 && out.size() < size; ++i) {
            pollfd p{master_, POLLIN, 0};
            if (poll(&p, 1, 10) <= 0) continue;
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n > 0) out.append(buf, static_cast<std::size_t>(n));
        }
        return out;
    }

private:
    int master_ = -1;
    std::string slave_;
};

// Reads until `size` bytes came or a second of attempts passed.
std::string ReadAll(os::SerialPort& port, std::size_t size) {
    std::string out;
    char buf[256];
    for (int i = 0; i < 20 && out.size() < size; ++i) {
        std::size_t got = 0;
        os::SysError error;
        EXPECT_TRUE(port.Read(buf, sizeof buf, got, error)) << error.text;
        out.append(buf, got);
    }
    return out;
}

TEST(SerialDevicePath, ABareNameIsADeviceUnderDev) {
    EXPECT_EQ(os::SerialDevicePath("ttyUSB0"), "/dev/ttyUSB0");
    EXPECT_EQ(os::SerialDevicePath("/dev/pts/3"), "/dev/pts/3");
    EXPECT_EQ(os::SerialDevicePath("pts/3"), "pts/3");
}

TEST(SerialPort, AMissingDeviceFailsAtOpeningWithItsError) {
    os::SerialPort port;
    os::PortStep step = os::PortStep::Purge;
    os::SysError error;
    EXPECT_FALSE(port.Open("ttyNoSuchPortHere", step, error));
    EXPECT_EQ(step, os::PortStep::Open);
    EXPECT_EQ(error.code, static_cast<uint32_t>(ENOENT));
    EXPECT_FALSE(error.text.empty());
    EXPECT_FALSE(port.IsOpen());

    char buf[4];
    std::size_t n = 0;
    EXPECT_FALSE(port.Read(buf, sizeof buf, n, error));
    EXPECT_EQ(error.code, static_cast<uint32_t>(EBADF));
    EXPECT_FALSE(port.Write("AT\r", 3, n, error));
}

TEST(SerialPort, AFileThatIsNoTerminalFailsAtGettingItsState) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir / "plain", "x");
    os::SerialPort port;
    os::PortStep step = os::PortStep::Open;
    os::SysError error;
    EXPECT_FALSE(port.Open(dir / "plain", step, error));
    EXPECT_EQ(step, os::PortStep::GetState);
    EXPECT_EQ(error.code, static_cast<uint32_t>(ENOTTY));
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, OpensRawExclusiveAt115200AndKeepsFlowControl) {
    PtyPair pty;
    ASSERT_FALSE(pty.slave().empty());
    {
        // Flow control and the default cooked mode as the port was left.
        const int fd = open(pty.slave().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0);
        termios t{};
        ASSERT_EQ(tcgetattr(fd, &t), 0);
        t.c_iflag |= IXON | ICRNL;
        t.c_lflag |= ICANON | ECHO | ISIG;
        t.c_oflag |= OPOST;
        ASSERT_EQ(tcsetattr(fd, TCSANOW, &t), 0);
        close(fd);
    }
    os::SerialPort port;
    os::PortStep step;
    os::SysError error;
    ASSERT_TRUE(port.Open(pty.slave(), step, error)) << error.text;
    termios t{};
    ASSERT_EQ(tcgetattr(port.fd(), &t), 0);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | ISTRIP), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_NE(t.c_iflag & IXON, 0u);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B115200));
    int exclusive = 0;
    ASSERT_EQ(ioctl(port.fd(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    port.Close();
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPort, BytesPassUntouchedInBothDirections) {
    PtyPair pty;
    os::SerialPort port;
    os::PortStep step;
    os::SysError error;
    ASSERT_TRUE(port.Open(pty.slave(), step, error)) << error.text;

    // CR stays CR, Ctrl-Z and Ctrl-C are data, NUL arrives as a byte.
    const std::string in("\r\n+CMGS: 5\r\n\x1A\x03\x00OK\r", 17);
    pty.Send(in);
    EXPECT_EQ(ReadAll(port, in.size()), in);

    const std::string out = "0021000B919761214365F700000361F118\x1A\r";
    std::size_t written = 0;
    ASSERT_TRUE(port.Write(out.data(), out.size(), written, error)) << error.text;
    EXPECT_EQ(written, out.size());
    EXPECT_EQ(pty.Receive(out.size()), out);
}

TEST(SerialPort, AQuietPortReadsNothingAndOpeningPurgesWhatWaited) {
    PtyPair pty;
    pty.Send("old reply\r\n");
    os::SerialPort port;
    os::PortStep step;
    os::SysError error;
    ASSERT_TRUE(port.Open(pty.slave(), step, error)) << error.text;
    char buf[256];
    std::size_t got = 99;
    EXPECT_TRUE(port.Read(buf, sizeof buf, got, error));
    EXPECT_EQ(got, 0u);
}

TEST(SerialPort, AVanishedDeviceMakesReadsFail) {
    PtyPair pty;
    os::SerialPort port;
    os::PortStep step;
    os::SysError error;
    ASSERT_TRUE(port.Open(pty.slave(), step, error)) << error.text;
    pty.CloseMaster();
    char buf[256];
    std::size_t got = 0;
    EXPECT_FALSE(port.Read(buf, sizeof buf, got, error));
    EXPECT_EQ(error.code, static_cast<uint32_t>(EIO));
}

TEST(ListSerialPorts, OnlyTerminalsWithADeviceInNaturalOrder) {
    testing_support::TempDir dir;
    const std::string root = dir.path() + "tty";
    mkdir(root.c_str(), 0755);
    for (const char* name :
         {"ttyS10", "ttyUSB0", "ttyS2", "ttyACM0", "ttyS0", "tty1", "console", "ptmx", "ttyUSB1"}) {
        mkdir((root + "/" + name).c_str(), 0755);
    }
    for (const char* name : {"ttyS10", "ttyUSB0", "ttyS2", "ttyACM0", "ttyS0", "ttyUSB1"})
        mkdir((root + "/" + name + "/device").c_str(), 0755);
    EXPECT_EQ(
        os::ListSerialPorts(root),
        (std::vector<std::string>{"ttyACM0", "ttyS0", "ttyS2", "ttyS10", "ttyUSB0", "ttyUSB1"}));
    EXPECT_TRUE(os::ListSerialPorts(root + "/missing").empty());
}

}  // namespace
