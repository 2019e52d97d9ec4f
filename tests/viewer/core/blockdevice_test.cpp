// A block device opens, reads and is watched as a file is: a loop device
// over a file of known bytes, made and removed by the test. Making one needs
// root; the test is labelled so, and a build as an ordinary user leaves it
// out, saying so (debian/rules).
#include "viewer/core/viewedfile.h"

#include "platform/files/filenumbers.h"
#include "tests/support/testenv.h"
#include "viewer/core/modIO.h"
#include "viewer/core/pagetables.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

namespace {

// The loop device, detached when it goes.
class LoopDevice
{
public:
    explicit LoopDevice(const std::string &backing)
    {
        std::string out;
        if (nvtest::runCommand("losetup --find --show '" + backing + "'", &out) == 0)
            m_path = out.substr(0, out.find('\n'));
        else
            m_error = out;
    }
    ~LoopDevice()
    {
        nv::files::close(1);
        if (!m_path.empty())
            nvtest::runCommand("losetup --detach " + m_path);
    }
    const std::string &path() const { return m_path; }
    const std::string &error() const { return m_error; }

private:
    std::string m_path, m_error;
};

TEST(BlockDevice, ALoopDeviceIsShownAsAFileIs)
{
    ASSERT_EQ(geteuid(), 0u) << "making a loop device needs root";
    nvtest::registerComponents();
    nvtest::ScratchDir dir("loop");
    std::string bytes(10 * 512, '\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 251);
    nvtest::writeFile(dir / "backing", bytes);
    LoopDevice loop((dir / "backing").string());
    ASSERT_FALSE(loop.path().empty()) << "losetup: " << loop.error();
    const QByteArray device = QByteArray::fromStdString(loop.path());

    EXPECT_TRUE(nv::ViewedFile::canBeShown(device));
    nv::ViewedFile file;
    file.open(device);
    EXPECT_EQ(file.size(), int64_t(bytes.size())); // from the kernel: its status says 0
    EXPECT_EQ(nv::PageCount(device), 10);
    nv::ReadPage(9 * 512 + 1, nv::PageBuffer());
    EXPECT_EQ(nv::PageBuffer().at(0, 1), uint8_t((9 * 512 + 1) % 251));

    // What a device can change: its size.
    file.checkDisk();
    EXPECT_EQ(file.diskState(), nv::DiskState::Same);
    nvtest::writeFile(dir / "backing", bytes + std::string(512, 'x'));
    ASSERT_EQ(nvtest::runCommand("losetup --set-capacity " + loop.path()), 0);
    file.checkDisk();
    EXPECT_EQ(file.diskState(), nv::DiskState::Changed);

    // A character device stays refused.
    EXPECT_FALSE(nv::ViewedFile::canBeShown("/dev/null"));
}

} // namespace
