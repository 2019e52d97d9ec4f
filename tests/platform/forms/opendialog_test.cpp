// The file-open dialog decorates entries by name only: no file in the
// folder it shows is opened, so a FIFO, a device or /proc/kmsg cannot block
// it. Opens are seen through inotify on the folder.
#include "platform/forms/opendialog.h"

#include "tests/support/fifowatchdog.h"
#include "tests/support/testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTreeView>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Names of the files opened in a folder since the watch began.
class OpenWatch
{
public:
    explicit OpenWatch(const fs::path &dir)
        : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)),
          m_watch(inotify_add_watch(m_fd, dir.c_str(), IN_OPEN | IN_ACCESS))
    {
    }
    ~OpenWatch() { close(m_fd); }
    bool ok() const { return m_fd >= 0 && m_watch >= 0; }
    std::vector<std::string> opened()
    {
        std::vector<std::string> names;
        alignas(inotify_event) char buf[8192];
        ssize_t n;
        while ((n = read(m_fd, buf, sizeof buf)) > 0) {
            for (char *p = buf; p < buf + n;) {
                auto *e = reinterpret_cast<inotify_event *>(p);
                if (e->len > 0) // events of the folder itself (listing it) have no name
                    names.emplace_back(e->name);
                p += sizeof(inotify_event) + e->len;
            }
        }
        return names;
    }

private:
    int m_fd;
    int m_watch;
};

} // namespace

TEST(OpenDialog, IconsAndTypesComeFromTheNameAlone)
{
    nvtest::ScratchDir dir("icons");
    nvtest::writeFile(dir / "data", "%PDF-1.4 looks like a document inside");
    nvtest::writeFile(dir / "notes.txt", "text");
    nvtest::writeFile(dir / "picture.png", "not really a picture");
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
    OpenWatch watch(dir.path());
    ASSERT_TRUE(watch.ok());
    nvtest::FifoWatchdog watchdog(dir / "pipe");

    nv::forms::NameOnlyIconProvider provider;
    const QString fileType =
        provider.type(QFileInfo(QString::fromStdString((dir / "data").string())));
    const struct
    {
        const char *name;
        bool isFolder;
    } cases[] = {{"data", false},
                 {"notes.txt", false},
                 {"picture.png", false},
                 {"folder", true},
                 {"pipe", false}};
    for (const auto &c : cases) {
        const QFileInfo info(QString::fromStdString((dir / c.name).string()));
        provider.icon(info);
        const QString type = provider.type(info);
        EXPECT_FALSE(type.isEmpty()) << c.name;
        if (c.isFolder) {
            EXPECT_NE(type, fileType);
        }
    }
    // The name says it: no look inside.
    EXPECT_EQ(provider.type(QFileInfo(QString::fromStdString((dir / "data").string()))),
              provider.type(QFileInfo(QString::fromStdString((dir / "pipe").string()))));
    EXPECT_NE(provider.type(QFileInfo(QString::fromStdString((dir / "notes.txt").string()))),
              fileType);
    EXPECT_TRUE(watchdog.finish()) << "a FIFO was opened";
    EXPECT_EQ(watch.opened(), std::vector<std::string>{});
}

TEST(OpenDialog, ShowingAFolderOpensNoneOfItsFiles)
{
    nvtest::ScratchDir dir("dialog");
    for (const char *name : {"data", "archive.tar", "notes.txt", "script"})
        nvtest::writeFile(dir / name, "#!/bin/sh\n%PDF-1.4\n");
    OpenWatch watch(dir.path());
    ASSERT_TRUE(watch.ok());

    QFileDialog dialog;
    nv::forms::prepareOpenDialog(dialog);
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
    auto *model = dialog.findChild<QFileSystemModel *>();
    ASSERT_TRUE(model);
    bool loaded = false;
    QObject::connect(model, &QFileSystemModel::directoryLoaded, [&] { loaded = true; });
    dialog.setDirectory(QString::fromStdString(dir.path().string()));
    dialog.show();
    QElapsedTimer timer;
    timer.start();
    const QString folderPath = QString::fromStdString(dir.path().string());
    // The model announces the folder before its rows are all in: under load
    // they arrive in later batches.
    auto listed = [&] { return loaded && model->rowCount(model->index(folderPath)) == 4; };
    while (!listed() && timer.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_TRUE(loaded);
    const QModelIndex folder = model->index(folderPath);
    ASSERT_EQ(model->rowCount(folder), 4);
    for (int row = 0; row < model->rowCount(folder); ++row) {
        model->data(model->index(row, 0, folder), Qt::DecorationRole);
        EXPECT_FALSE(model->data(model->index(row, 2, folder)).toString().isEmpty()) << row;
    }
    // Size, Type and Date Modified show whole, and all of them inside the view.
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    ASSERT_TRUE(view);
    for (int column = 1; column <= 3; ++column)
        EXPECT_GE(view->header()->sectionSize(column),
                  static_cast<QAbstractItemView *>(view)->sizeHintForColumn(column))
            << column;
    EXPECT_LE(view->header()->length(), view->viewport()->width());
    // The decorations are made off the user-interface thread: give them time.
    timer.restart();
    while (timer.elapsed() < 500)
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    dialog.close();
    EXPECT_EQ(watch.opened(), std::vector<std::string>{});
}
